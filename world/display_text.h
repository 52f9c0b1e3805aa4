#pragma once

#include <string>
#include <string_view>

namespace brickstorm {

// `text` as a message may show it: printable ASCII and well-formed UTF-8 of printable characters
// as they are, a backslash doubled, and every other byte (control bytes, DEL, C1 controls, broken
// UTF-8) as \xHH, so that a name or a letter taken from input can never send a control sequence
// to the terminal.
std::string escapedForDisplay(std::string_view text);

// The same in single quotes, as messages show a name or a letter.
std::string quotedForDisplay(std::string_view text);

}  // namespace brickstorm
