#pragma once

#include <windows.h>

#include "platform/windows/console_format.h"

// What the session's console output and the picture's writer share (the writer is in
// console_output.cpp, the session in console_session.cpp).
namespace brickstorm::platform {

// Where pictures go and in what form.
struct ConsoleOutput {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool isConsole = false;  // a console screen buffer, rather than a pipe or a file
    ConsoleFormat format;
};

// The output as the session set it up; before a session, standard output as it is found, in
// the format a console would get without being changed, or a terminal on the far end of a pipe.
ConsoleOutput sessionOutput();

// Held by each write of a picture and by the giving back of the console, so that the console
// is never given back halfway through a picture and gets no picture after it has been.
class OutputTurn {
public:
    OutputTurn();
    ~OutputTurn();
    OutputTurn(const OutputTurn&) = delete;
    OutputTurn& operator=(const OutputTurn&) = delete;

    // False once the console has been given back: the picture must not be written.
    bool open() const { return open_; }

private:
    bool open_;
};

// Frames are coloured: the give-back then also puts the console's own colours back, in case a
// frame was cut short. Call before the session's threads start.
void noteColourInUse();

// The event that is set when an ending request comes (see deferEndingSignals), for the key
// reader to wait on together with the console's input; reset it before handing the request on.
HANDLE endingRequestEvent();

// The key reader's thread is the one blocked in a read of a pipe: an ending request cancels
// that read, which then reports ERROR_OPERATION_ABORTED. Null: no reader is waiting.
void noteKeyReaderThread(HANDLE thread);

// Writes all of `bytes` to `handle`, over as many calls as it takes (a pipe may take a long
// write in pieces). False once writing has failed.
bool writeAll(HANDLE handle, std::string_view bytes);

}  // namespace brickstorm::platform
