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
#include "render/picture.h"
#include "terminal/colour_choice.h"
#include "terminal/picture_consoles.h"
#include "terminal/picture_update.h"
#include "terminal/shown_picture.h"
#include "terminal/terminal_sequences.h"

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

// The game's console on the Windows console. Text screens go as text, line by line, in one
// write with their clear; frames cell by cell where the console reads control sequences (only
// the cells that changed, unless every frame is to go whole), and as text on the legacy console,
// cleared through its API. Every write is made in an output turn, so that the console is never
// given back in the middle of a picture.
class WindowsConsole final : public Console {
public:
    WindowsConsole(ConsoleOutput output, bool fullRedraw, std::optional<ColourDepth> colour)
        : output_(output),
          fullRedraw_(fullRedraw || !output.format.controlSequences),
          // The legacy console's own colour attributes are not used: it shows the monochrome picture.
          colour_(output.format.controlSequences ? colour : std::nullopt),
          encode_(cellEncoder(output.format.encoding)),
          shown_(encode_, fullRedraw_) {}

    std::optional<ColourDepth> colourDepth() const override { return colour_; }

    // A text screen is drawn only once, so a resize that scrambled it (the console reflows its
    // buffer to the new width) would leave it scrambled: the last picture is drawn again
    // whenever the window's size differs from the one it was drawn for.
    void refresh() override {
        if (!output_.isConsole || last_.lines.empty() || windowSize(output_.handle) == shownFor_) {
            return;
        }
        const OutputTurn turn;
        if (turn.open()) {
            showText(last_);
        }
    }

private:
    void present(const Picture& picture, PictureChange change) override {
        const OutputTurn turn;
        if (!turn.open()) {
            shown_.forget();  // the console does not get this picture: the next one goes whole
            return;
        }
        last_ = colour_ ? picture : withoutColour(picture);
        if (change == PictureChange::Replace || !output_.format.controlSequences) {
            showText(last_);
            return;
        }
        write(fullRedraw_ ? shown_.redraw(last_) : shown_.update(last_));
    }

    // The picture as text with a clear in front, in one write, so that the console replaces the
    // old picture in one step instead of showing it emptied or half drawn.
    void showText(const Picture& picture) {
        if (output_.isConsole && !output_.format.controlSequences) {
            // Without control sequences the clear cannot travel with the picture: the one place
            // where the console shows an empty window for a moment.
            clearThroughApi(output_.handle);
        }
        const std::string text = encodedText(picture, encode_, kConsoleLineEnd);
        write(output_.format.controlSequences ? terminalFrame(text, true) : text);
        // Drawn as text, not cell by cell: the next frame is sent whole.
        shown_.forget();
    }

    void write(const std::string& bytes) {
        if (!bytes.empty()) {
            writeAll(output_.handle, bytes);
        }
        if (output_.isConsole) {
            shownFor_ = windowSize(output_.handle);
        }
    }

    ConsoleOutput output_;
    bool fullRedraw_;
    std::optional<ColourDepth> colour_;
    CellEncoder encode_;
    ShownPicture shown_;
    Picture last_;
    WindowSize shownFor_;
};

// The console for the session's output.
std::unique_ptr<Console> consoleFor(ConsoleOutput output, bool fullRedraw, std::optional<ColourDepth> colour) {
    return std::make_unique<WindowsConsole>(output, fullRedraw, colour);
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
