#include "platform/terminal.h"

#include <cstdio>
#include <string>

namespace brickstorm::platform {
// PLACEHOLDER
void beginTerminalSession() {}
void endTerminalSession() {}
struct KeyReader::Impl {};
KeyReader::KeyReader() = default;
KeyReader::~KeyReader() = default;
std::optional<int> KeyReader::next() {
    const int c = std::getchar();
    if (c == EOF) return std::nullopt;
    return c;
}
namespace {
class StdoutConsole : public Console {
public:
    void clear() override {}
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stdout); std::fflush(stdout); }
};
}  // namespace
std::unique_ptr<Console> makeTerminalConsole() { return std::make_unique<StdoutConsole>(); }
}  // namespace brickstorm::platform
