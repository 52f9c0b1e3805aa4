#include "platform/error_output.h"

#include <unistd.h>

namespace brickstorm::platform {

bool errorOutputIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

}  // namespace brickstorm::platform
