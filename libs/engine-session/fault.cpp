#include "fault.h"

#include <cstring>

namespace engine_session {

namespace {

struct Named {
    Fault fault;
    const char* name;
};

const Named kNames[] = {
    {Fault::None, "none"},
    {Fault::StartFailed, "start-failed"},
    {Fault::Garbled, "garbled-reply"},
    {Fault::Count, "wrong-count"},
    {Fault::IllegalLine, "illegal-line"},
    {Fault::DrawnLine, "drawn-line"},
    {Fault::Continued, "continued-after-non-completing-line"},
    {Fault::Stopped, "stopped-after-completing-line"},
    {Fault::Illegal, "illegal-move"},
    {Fault::OutOfTurn, "out-of-turn"},
    {Fault::Late, "late-reply"},
    {Fault::NoReply, "no-reply"},
    {Fault::Crash, "crash"},
    {Fault::Exited, "exited"},
    {Fault::Closed, "closed-stream"},
};

} // namespace

const char* fault_name(Fault f) {
    for (const Named& n : kNames)
        if (n.fault == f) return n.name;
    return "?";
}

Fault fault_of_name(const char* name) {
    for (const Named& n : kNames)
        if (std::strcmp(n.name, name) == 0) return n.fault;
    return Fault::None;
}

} // namespace engine_session
