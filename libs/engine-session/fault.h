// What an engine can do wrong, for both games and every program that drives engines, with
// the one name each fault has in logs, records and windows.
#pragma once

namespace engine_session {

enum class Fault {
    None,
    StartFailed, // the program could not be started
    Garbled,     // output that is not a reply of the protocol
    Count,       // Dots and Boxes: the count of a reply does not match its codes
    IllegalLine, // Dots and Boxes: a code that names no line of the board
    DrawnLine,   // Dots and Boxes: a line that is already drawn
    Continued,   // Dots and Boxes: another line after a line that completed no box
    Stopped,     // Dots and Boxes: the turn ended after a line that completed a box
    Illegal,     // Orbello: the module refused its moves too many times in a row
    OutOfTurn,   // Orbello: a move line while the other side was to move
    Late,        // the reply came, but after its time limit
    NoReply,     // no reply before the deadline
    Crash,       // the program ended with a failure status or a signal
    Exited,      // the program ended with status 0 while a reply was due
    Closed,      // the program closed a stream while still running
};

// "illegal-line", "no-reply", ...; "none" for None.
const char* fault_name(Fault f);
// The fault of a name, or None for a name that is no fault's.
Fault fault_of_name(const char* name);

} // namespace engine_session
