// Why an engine's stream ended or would not take a command, from the state of its process.
#pragma once

#include "child_process.h"

#include <string>

namespace matchtools {

enum class StreamEnd {
    Closed, // the process still runs but closed a stream
    Crash,  // it ended with a failure status or a signal
    Exited, // it ended with status 0
};

// Gives the process a moment to end, then says how it ended; detail describes it, ending
// with context (what the referee was waiting for or sending).
StreamEnd why_stream_ended(dabtools::ChildProcess& p, bool writing, const std::string& context,
                           std::string& detail);

} // namespace matchtools
