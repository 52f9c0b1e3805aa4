#pragma once

#include "platform/terminal.h"
#include "terminal/session_states.h"

namespace brickstorm::platform {

// The request the program is told of for an ending that the session's table kept waiting.
inline EndingRequest endingRequestFor(terminal::Ending ending) {
    switch (ending) {
    case terminal::Ending::Interrupt: return EndingRequest::Interrupt;
    case terminal::Ending::Terminate: return EndingRequest::Terminate;
    case terminal::Ending::HangUp: return EndingRequest::HangUp;
    case terminal::Ending::None:
    case terminal::Ending::Other: return EndingRequest::None;
    }
    return EndingRequest::None;
}

}  // namespace brickstorm::platform
