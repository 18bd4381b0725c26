// Milliseconds of wall-clock time from an arbitrary start, for the search's deadline.
#pragma once

int clock_ms();
