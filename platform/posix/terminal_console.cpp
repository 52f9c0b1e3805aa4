#include "platform/posix/terminal_console.h"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/posix/fd_io.h"
#include "platform/posix/terminal_session.h"
#include "platform/terminal.h"
#include "terminal/picture_consoles.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

Delivery DescriptorSink::deliver(std::string_view bytes) {
    if (terminal_ && !host_.beginDrawing()) {
        return Delivery::Withheld;
    }
    const WriteOutcome outcome =
        terminal_ ? writeAllUnless(sys_, fd_, bytes, [this] { return host_.givingUp(); })
                  : (writeAll(sys_, fd_, bytes) ? WriteOutcome::Written : WriteOutcome::Failed);
    if (terminal_) {
        host_.endDrawing();
    }
    if (outcome == WriteOutcome::GaveUp) {
        // Cut short: the give-back ends whatever the cut frame left open, and a later frame,
        // if any, goes whole.
        return Delivery::Withheld;
    }
    if (outcome == WriteOutcome::Failed) {
        if (terminal_) {
            host_.terminalClosed();
        } else {
            host_.outputLost();
        }
        return Delivery::Lost;
    }
    return Delivery::Delivered;
}

std::unique_ptr<Console> consoleFor(ConsoleTarget target, SystemCalls& sys, ConsoleHost& host) {
    const CellEncoder encode = target.style.charset == Charset::Utf8 ? encodeUtf8Cell : encodeAsciiCell;
    auto sink = std::make_unique<DescriptorSink>(target.fd, target.terminal, sys, host);
    if (target.terminal) {
        return std::make_unique<ControlSequenceConsole>(
            std::move(sink), ControlSequenceDisplay{encode, target.fullRedraw, target.colour});
    }
    // A file or a pipe: the plain text, each picture on lines of its own.
    const std::string_view lineEnd = target.style.lineEnd == LineEnd::CrLf ? "\r\n" : "\n";
    return std::make_unique<PlainTextConsole>(std::move(sink), PlainTextDisplay{encode, lineEnd, "\n"});
}

namespace {

// The program's host: the terminal session.
class SessionHost final : public ConsoleHost {
public:
    bool beginDrawing() override { return beginDrawingOnTerminal(); }
    void endDrawing() override { endDrawingOnTerminal(); }
    bool takeRepaintRequest() override { return platform::takeRepaintRequest(); }
    void outputLost() override { endAfterLostOutput(lostOutputStatus); }
    void terminalClosed() override { endAfterClosedTerminal(); }
    int lostOutputStatus = 1;
    bool givingUp() override { return givingUpOnTheTerminal(); }
};

// Whether the player's locale can show UTF-8. The process's own locale is left as it was: the
// rest of the program relies on the classic "C" behaviour.
Charset localeCharset() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = current != nullptr ? current : "C";
    Charset charset = Charset::Ascii;
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        charset = charsetForCodeset(nl_langinfo(CODESET));
    } else {
        // The named locale is not installed here; its name still tells what the display shows.
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value != nullptr && *value != '\0') {
                charset = charsetForLocaleName(value);
                break;
            }
        }
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    return charset;
}

// An environment variable as it is set (even empty), or nothing.
std::optional<std::string_view> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string_view>(value) : std::nullopt;
}

}  // namespace

ColourEnvironment colourEnvironment() {
    return {isatty(STDOUT_FILENO) != 0, environmentValue("TERM"), environmentValue("COLORTERM"),
            environmentValue("NO_COLOR")};
}

bool dumbTerminal() { return isatty(STDOUT_FILENO) != 0 && environmentValue("TERM") == "dumb"; }

std::unique_ptr<Console> makeTerminalConsole(ConsoleOptions options) {
    static SessionHost host;
    host.lostOutputStatus = options.lostOutputStatus;
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    const auto colour = chooseColour(options.colour, options.colourDepth, colourEnvironment());
    if (colour) {
        noteColourOnTerminal();
    }
    const ConsoleTarget target{terminal ? terminalOutput() : STDOUT_FILENO,
                               {localeCharset(), LineEnd::Lf},
                               terminal,
                               options.fullRedraw,
                               colour};
    return consoleFor(target, systemCalls(), host);
}

}  // namespace brickstorm::platform
