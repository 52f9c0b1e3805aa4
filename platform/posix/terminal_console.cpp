#include "platform/posix/terminal_console.h"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>

#include "platform/posix/fd_io.h"
#include "platform/posix/terminal_session.h"
#include "platform/terminal.h"
#include "platform/terminal_sequences.h"

namespace brickstorm::platform {

void TerminalConsole::write(std::string_view text) {
    std::string encoded;
    appendEncoded(encoded, text, target_.style);
    if (clearPending_) {
        picture_.clear();
    }
    picture_ += encoded;
    // The whole frame goes out in a single write: the terminal gets the clear and the new
    // picture together, so it never shows a blank or half-drawn screen in between (flicker).
    if (target_.terminal) {
        send(terminalFrame(encoded, clearPending_));
    } else if (clearPending_ && wroteBefore_) {
        send("\n" + encoded);
    } else {
        send(encoded);
    }
    clearPending_ = false;
    wroteBefore_ = true;
}

void TerminalConsole::refresh() {
    if (target_.terminal && host_.takeRepaintRequest() && wroteBefore_) {
        send(terminalFrame(picture_, true));
    }
}

void TerminalConsole::send(std::string_view bytes) {
    if (lost_ || (target_.terminal && !host_.mayDraw())) {
        return;
    }
    if (!writeAll(sys_, target_.fd, bytes)) {
        lost_ = true;  // never again: a dead output must not be retried in a loop
        host_.outputLost();
    }
}

namespace {

// The program's host: the terminal session.
class SessionHost final : public ConsoleHost {
public:
    bool mayDraw() override { return mayDrawOnTerminal(); }
    bool takeRepaintRequest() override { return platform::takeRepaintRequest(); }
    void outputLost() override { endAfterLostOutput(); }
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

}  // namespace

std::unique_ptr<Console> makeTerminalConsole() {
    static SessionHost host;
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    const ConsoleTarget target{
        STDOUT_FILENO, {localeCharset(), terminal ? LineEnd::CrLf : LineEnd::Lf}, terminal};
    return std::make_unique<TerminalConsole>(target, systemCalls(), host);
}

}  // namespace brickstorm::platform
