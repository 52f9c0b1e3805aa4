#include "platform/error_output.h"

#include <windows.h>

namespace brickstorm::platform {

bool errorOutputIsTerminal() {
    // A console answers for its mode; a file or a pipe does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace brickstorm::platform
