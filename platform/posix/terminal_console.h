#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/system_calls.h"
#include "render/console.h"
#include "terminal/byte_sink.h"
#include "terminal/colour_choice.h"
#include "terminal/output_encoding.h"

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
    // Writing to a terminal has failed for good: it has been closed. The program's host handles
    // it as a hang-up, which may end the program in order from another thread: this returns.
    virtual void terminalClosed() { outputLost(); }
    // The program is on its way out: a frame that the terminal does not take is given up rather
    // than waited for.
    virtual bool givingUp() { return false; }
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

// A file descriptor as the console's byte sink: on a terminal, every write inside the host's
// drawing guard; a lost output reported to the host once.
class DescriptorSink final : public ByteSink {
public:
    DescriptorSink(int fd, bool terminal, SystemCalls& sys, ConsoleHost& host)
        : fd_(fd), terminal_(terminal), sys_(sys), host_(host) {}

    Delivery deliver(std::string_view bytes) override;
    // Only a terminal loses its picture; a file or a pipe keeps what it was sent.
    bool takeRepaintRequest() override { return terminal_ && host_.takeRepaintRequest(); }

private:
    int fd_;
    bool terminal_;
    SystemCalls& sys_;
    ConsoleHost& host_;
};

// The game's console on `target`: a terminal gets the control sequences, anything else the
// plain text. Used by one thread (the render thread) only.
std::unique_ptr<Console> consoleFor(ConsoleTarget target, SystemCalls& sys, ConsoleHost& host);

// What this process's environment says of the terminal on standard output.
ColourEnvironment colourEnvironment();

}  // namespace brickstorm::platform
