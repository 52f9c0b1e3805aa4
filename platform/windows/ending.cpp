// The program's end as the console event it was asked to end by would have made it.
#include <windows.h>

#include <cstdlib>

#include "platform/terminal.h"

namespace brickstorm::platform {

namespace {

// What a console program ended by Ctrl+C or by its console's closing exits with, so that a
// batch file or a shell sees the same cause.
constexpr UINT kControlExitStatus = 0xC000013AU;

}  // namespace

void endAsRequested(EndingRequest request) {
    if (request == EndingRequest::None) {
        std::exit(EXIT_SUCCESS);
    }
    ExitProcess(kControlExitStatus);
}

}  // namespace brickstorm::platform
