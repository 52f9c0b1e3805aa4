// The Windows console as the game's console: pictures written whole, in the format that the
// session found the console able to show.

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/terminal.h"
#include "platform/windows/console_session.h"
#include "render/picture.h"
#include "terminal/colour_choice.h"
#include "terminal/shown_picture.h"

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

class WindowsConsole final : public Console {
public:
    WindowsConsole(ConsoleOutput output, bool fullRedraw, std::optional<ColourDepth> colour)
        : output_(output),
          fullRedraw_(fullRedraw || !output.format.controlSequences),
          colour_(output.format.controlSequences ? colour : std::nullopt),
          shown_(cellEncoder(output.format.encoding), fullRedraw_) {}

    // Held back and sent with the next write: a clear on its own would show the empty window
    // between two pictures, a flicker at every frame.
    void clear() override { clearPending_ = true; }

    void write(std::string_view text) override {
        const OutputTurn turn;
        if (!turn.open()) {
            return;
        }
        if (clearPending_) {
            picture_.clear();
        }
        picture_.append(text);
        show(text, clearPending_);
        clearPending_ = false;
    }

    // With control sequences, only the cells that changed since the last frame are sent; without
    // them (the legacy console), every frame is cleared and written whole.
    void showFrame(std::string_view frame) override {
        if (fullRedraw_) {
            clear();
            write(frame);
            return;
        }
        showPicture(frame, pictureFromText(frame), false);
    }

    // Only with control sequences: the legacy console's own colour attributes are not used, so
    // that it shows the monochrome picture.
    std::optional<ColourDepth> colourDepth() const override { return colour_; }

    void showColouredFrame(std::string_view frame, const FrameColours& colours) override {
        if (!colour_) {
            showFrame(frame);
            return;
        }
        showPicture(frame, pictureFromText(frame, colours), fullRedraw_);
    }

    // A text screen is drawn only once, so a resize that scrambled it (the console reflows its
    // buffer to the new width) would leave it scrambled: the picture is drawn again whenever the
    // window's size differs from the one it was drawn for.
    void refresh() override {
        if (!output_.isConsole || picture_.empty() || windowSize(output_.handle) == shownFor_) {
            return;
        }
        const OutputTurn turn;
        if (turn.open()) {
            show(picture_, true);
        }
    }

private:
    // A frame cell by cell: the changed cells, or with `whole` a clear and every cell.
    void showPicture(std::string_view frame, Picture picture, bool whole) {
        const OutputTurn turn;
        if (!turn.open()) {
            return;
        }
        picture_ = frame;
        clearPending_ = false;
        const std::string bytes =
            whole ? shown_.redraw(std::move(picture)) : shown_.update(std::move(picture));
        if (!bytes.empty()) {
            writeAll(output_.handle, bytes);
        }
        noteWindowSize();
    }

    void show(std::string_view text, bool clearFirst) {
        if (clearFirst && output_.isConsole && !output_.format.controlSequences) {
            // Without control sequences the clear cannot travel with the picture: the one place
            // where the console shows an empty window for a moment.
            clearThroughApi(output_.handle);
        }
        // The clear and the whole picture in one write, so that the console replaces the old
        // picture in one step instead of showing it emptied or half drawn (flicker).
        writeAll(output_.handle, pictureBytes(output_.format, text, clearFirst));
        // Drawn as text, not cell by cell: the next frame is sent whole.
        shown_.forget();
        noteWindowSize();
    }

    void noteWindowSize() {
        if (output_.isConsole) {
            shownFor_ = windowSize(output_.handle);
        }
    }

    ConsoleOutput output_;
    bool fullRedraw_;
    std::optional<ColourDepth> colour_;
    ShownPicture shown_;
    bool clearPending_ = false;
    std::string picture_;  // everything written since the last clear
    WindowSize shownFor_;
};

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
    return std::make_unique<WindowsConsole>(output, options.fullRedraw, colour);
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
