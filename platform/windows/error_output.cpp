#include "platform/error_output.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace brickstorm::platform {

bool errorOutputIsTerminal() {
    // A console answers for its mode; a file or a pipe does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

// A console takes what is written to it at once.
void writeToErrorOutput(std::string_view text) {
    std::fputs(std::string(text).c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace brickstorm::platform
