#include "engine_end.h"

namespace matchtools {

StreamEnd why_stream_ended(dabtools::ChildProcess& p, bool writing, const std::string& context,
                           std::string& detail) {
    p.wait_exit(dabtools::Clock::now() + std::chrono::milliseconds(2000));
    if (!p.poll_exit()) {
        detail = (writing ? "stopped reading its input " : "closed its output ") + context;
        return StreamEnd::Closed;
    }
    const dabtools::ChildProcess::Exit& x = p.exit_info();
    if (x.signal != 0) {
        detail = "ended by signal " + std::to_string(x.signal) + " " + context;
        return StreamEnd::Crash;
    }
    if (x.code != 0) {
        detail = "ended with status " + std::to_string(x.code) + " " + context;
        return StreamEnd::Crash;
    }
    detail = "ended with status 0 " + context;
    return StreamEnd::Exited;
}

} // namespace matchtools
