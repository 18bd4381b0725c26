// The bench's fixed positions, searched to fixed depths (or with the play budget): node
// counts per position and their total, the signature of the search's behaviour.
#pragma once

// depth_override 0: each position's own depth. expected < 0: nothing to check. Returns
// the program's exit status (1 when the total differs from expected).
int run_positions(int depth_override, bool timed, long long expected);
