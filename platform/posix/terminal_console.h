#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/system_calls.h"
#include "render/console.h"
#include "terminal/colour_choice.h"
#include "terminal/output_encoding.h"
#include "terminal/shown_picture.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

// What the console needs of whoever holds the terminal; the terminal session in the program,
// a stand-in in tests.
class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // Called before each write to the terminal: false while nothing may be written (the terminal
    // has been given back). After true, endDrawing() follows once the write is over; the
    // terminal is not given back in between.
    virtual bool beginDrawing() = 0;
    virtual void endDrawing() = 0;
    // True once after the display lost the picture.
    virtual bool takeRepaintRequest() = 0;
    // Writing has failed for good. The program's host ends the program here.
    virtual void outputLost() = 0;
};

struct ConsoleTarget {
    int fd = -1;
    OutputStyle style;
    // A terminal gets the clear and the update markers as control sequences; anything else (a
    // file, a pipe) gets the plain text, each screen on a line of its own.
    bool terminal = false;
    // Every frame is sent whole on a terminal, instead of only the cells that changed.
    bool fullRedraw = false;
    // The colours of a terminal's frames; nothing for monochrome.
    std::optional<ColourDepth> colour{};
};

// The game's console on a file descriptor. Used by one thread (the render thread) only.
class TerminalConsole final : public Console {
public:
    TerminalConsole(ConsoleTarget target, SystemCalls& sys, ConsoleHost& host);

    // Held back and sent together with the next write, so that the old picture is replaced by
    // the new one in one step instead of flashing an empty screen in between.
    void clear() override { clearPending_ = true; }
    // A text screen: sent whole (it is drawn once, so its size does not matter).
    void write(std::string_view text) override;
    // Sends only the cells that differ from the picture the terminal shows, when it is known.
    void showFrame(std::string_view frame) override;
    std::optional<ColourDepth> colourDepth() const override { return target_.colour; }
    // The same, each cell in its colour: a cell differs when its character or its colour does.
    void showColouredFrame(std::string_view frame, const FrameColours& colours) override;
    void refresh() override;
    void dropRepaint() override;

private:
    void showPicture(std::string_view frame, Picture picture);
    void writeText(std::string_view text);
    void send(std::string_view bytes);

    ConsoleTarget target_;
    SystemCalls& sys_;
    ConsoleHost& host_;
    bool clearPending_ = false;
    bool wroteBefore_ = false;
    bool lost_ = false;
    std::string text_;    // a terminal's: everything written since the last clear
    ShownPicture shown_;  // a terminal's
};

// What this process's environment says of the terminal on standard output.
ColourEnvironment colourEnvironment();

}  // namespace brickstorm::platform
