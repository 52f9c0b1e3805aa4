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
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

std::string_view utf8Cell(unsigned char character) { return encodeByte(character, Charset::Utf8); }
std::string_view asciiCell(unsigned char character) { return encodeByte(character, Charset::Ascii); }

}  // namespace

TerminalConsole::TerminalConsole(ConsoleTarget target, SystemCalls& sys, ConsoleHost& host)
    : target_(target),
      sys_(sys),
      host_(host),
      shown_(target.style.charset == Charset::Utf8 ? utf8Cell : asciiCell, target.fullRedraw) {}

void TerminalConsole::write(std::string_view text) {
    if (!target_.terminal) {
        writeText(text);
        return;
    }
    // A write after the clear adds to the same picture: the picture so far is shown again, whole.
    if (clearPending_) {
        text_.clear();
    }
    text_ += text;
    clearPending_ = false;
    send(shown_.redraw(pictureFromText(text_)));
}

void TerminalConsole::showFrame(std::string_view frame) { showPicture(frame, pictureFromText(frame)); }

void TerminalConsole::showColouredFrame(std::string_view frame, const FrameColours& colours) {
    if (!target_.colour) {
        showFrame(frame);
        return;
    }
    showPicture(frame, pictureFromText(frame, colours));
}

void TerminalConsole::showPicture(std::string_view frame, Picture picture) {
    if (!target_.terminal) {
        clear();
        writeText(frame);
        return;
    }
    text_ = frame;
    clearPending_ = false;
    send(shown_.update(std::move(picture)));
}

// A file or a pipe: the plain text, each screen on a line of its own.
void TerminalConsole::writeText(std::string_view text) {
    std::string encoded;
    if (clearPending_ && wroteBefore_) {
        encoded += '\n';
    }
    appendEncoded(encoded, text, target_.style);
    send(encoded);
    clearPending_ = false;
    wroteBefore_ = true;
}

void TerminalConsole::refresh() {
    if (target_.terminal && host_.takeRepaintRequest()) {
        // Whatever the window shows now (it was resized, or given back and taken again), it is
        // not the last picture: that is sent whole, and the next frame is compared with it.
        shown_.forget();
        send(shown_.redrawLast());
    }
}

void TerminalConsole::dropRepaint() {
    if (target_.terminal) {
        static_cast<void>(host_.takeRepaintRequest());
        shown_.forget();
    }
}

void TerminalConsole::send(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    if (lost_) {
        return;
    }
    if (target_.terminal && !host_.beginDrawing()) {
        shown_.forget();  // the window does not get this picture: the next one goes whole
        return;
    }
    const bool written = writeAll(sys_, target_.fd, bytes);
    if (target_.terminal) {
        host_.endDrawing();
    }
    if (!written) {
        lost_ = true;  // never again: a dead output must not be retried in a loop
        host_.outputLost();
    }
}

namespace {

// The program's host: the terminal session.
class SessionHost final : public ConsoleHost {
public:
    bool beginDrawing() override { return beginDrawingOnTerminal(); }
    void endDrawing() override { endDrawingOnTerminal(); }
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
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    const auto colour = chooseColour(options.colour, options.colourDepth, colourEnvironment());
    if (colour) {
        noteColourOnTerminal();
    }
    const ConsoleTarget target{
        STDOUT_FILENO, {localeCharset(), LineEnd::Lf}, terminal, options.fullRedraw, colour};
    return std::make_unique<TerminalConsole>(target, systemCalls(), host);
}

}  // namespace brickstorm::platform
