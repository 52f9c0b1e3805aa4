// The Windows console as the game's console: the terminal's pictures carried to the console's
// handle, in the format that the session found the console able to show.

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/terminal.h"
#include "platform/windows/console_session.h"
#include "terminal/byte_sink.h"
#include "terminal/colour_choice.h"
#include "terminal/picture_consoles.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

struct WindowSize {
    SHORT columns = 0;
    SHORT lines = 0;
    bool operator==(const WindowSize&) const = default;
};

WindowSize windowSize(HANDLE handle) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(handle, &info)) {
        return {};
    }
    return {static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1),
            static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1)};
}

// What "cls" does, for a console without control sequences: blanks in the whole buffer, in its
// current colours, and the cursor at the top left.
void clearThroughApi(HANDLE handle) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(handle, &info)) {
        return;
    }
    const auto cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    const COORD origin{0, 0};
    DWORD done = 0;
    FillConsoleOutputCharacterA(handle, ' ', cells, origin, &done);
    FillConsoleOutputAttribute(handle, info.wAttributes, cells, origin, &done);
    SetConsoleCursorPosition(handle, origin);
}

// The session's output as the console's byte sink: every write in an output turn, so that the
// console is never given back in the middle of a picture; without control sequences, the console
// cleared through its API before each picture.
class ConsoleSink final : public ByteSink {
public:
    explicit ConsoleSink(ConsoleOutput output) : output_(output) {}

    Delivery deliver(std::string_view bytes) override {
        const OutputTurn turn;
        if (!turn.open()) {
            return Delivery::Withheld;
        }
        if (output_.isConsole && !output_.format.controlSequences) {
            // Without control sequences the clear cannot travel with the picture: the one place
            // where the console shows an empty window for a moment.
            clearThroughApi(output_.handle);
        }
        if (!writeAll(output_.handle, bytes)) {
            return Delivery::Lost;
        }
        if (output_.isConsole) {
            shownFor_ = windowSize(output_.handle);
        }
        return Delivery::Delivered;
    }

    // A resize can scramble the picture (the console reflows its buffer to the new width), and a
    // text screen is drawn only once: the picture is drawn again whenever the window's size
    // differs from the one it was drawn for.
    bool takeRepaintRequest() override { return output_.isConsole && windowSize(output_.handle) != shownFor_; }

private:
    ConsoleOutput output_;
    WindowSize shownFor_;
};

// The console for the session's output: the control sequences where the console reads them
// (only the cells that changed, unless every frame is to go whole), plain text otherwise, each
// picture whole on a console cleared through its API. The legacy console's own colour attributes
// are not used, so that it shows the monochrome picture.
std::unique_ptr<Console> consoleFor(ConsoleOutput output, bool fullRedraw, std::optional<ColourDepth> colour) {
    const CellEncoder encode = cellEncoder(output.format.encoding);
    auto sink = std::make_unique<ConsoleSink>(output);
    if (output.format.controlSequences) {
        return std::make_unique<ControlSequenceConsole>(std::move(sink),
                                                        ControlSequenceDisplay{encode, fullRedraw, colour});
    }
    return std::make_unique<PlainTextConsole>(std::move(sink), PlainTextDisplay{encode, kConsoleLineEnd, ""});
}

}  // namespace

// An environment variable as it is set (even empty), or nothing. The value stays valid: the
// program never changes its environment.
std::optional<std::string_view> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string_view>(value) : std::nullopt;
}

std::unique_ptr<Console> makeTerminalConsole(ConsoleOptions options) {
    const ConsoleOutput output = sessionOutput();
    // A console, or a pipe to a terminal emulator that reads the control sequences.
    const ColourEnvironment environment{output.isConsole || output.format.controlSequences,
                                        environmentValue("TERM"), environmentValue("COLORTERM"),
                                        environmentValue("NO_COLOR")};
    const auto colour = output.format.controlSequences
                            ? chooseColour(options.colour, options.colourDepth, environment)
                            : std::nullopt;
    if (colour) {
        noteColourInUse();
    }
    return consoleFor(output, options.fullRedraw, colour);
}

// The visible part of the buffer, not the buffer: the buffer is often far taller than the window
// (its scrollback), and the picture must fit what the player sees. The cells' shape comes from
// the console's font, where the console tells it.
std::optional<TerminalWindow> windowSize() {
    const ConsoleOutput output = sessionOutput();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!output.isConsole || !GetConsoleScreenBufferInfo(output.handle, &info)) {
        return std::nullopt;
    }
    CONSOLE_FONT_INFOEX font{};
    font.cbSize = sizeof(font);
    const bool fontKnown = GetCurrentConsoleFontEx(output.handle, FALSE, &font) != 0;
    return windowFromCells(info.srWindow.Right - info.srWindow.Left + 1,
                           info.srWindow.Bottom - info.srWindow.Top + 1, fontKnown ? font.dwFontSize.X : 0,
                           fontKnown ? font.dwFontSize.Y : 0);
}

// The console names no terminal type; one that reaches it through a pipe is taken as capable.
bool dumbTerminal() { return false; }

}  // namespace brickstorm::platform
