#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/output_encoding.h"
#include "platform/posix/system_calls.h"
#include "render/console.h"

namespace brickstorm::platform {

// What the console needs of whoever holds the terminal; the terminal session in the program,
// a stand-in in tests.
class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // False while a frame must not be written to the terminal (it has been given back).
    virtual bool mayDraw() = 0;
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
};

// The game's console on a file descriptor. Used by one thread (the render thread) only.
class TerminalConsole final : public Console {
public:
    TerminalConsole(ConsoleTarget target, SystemCalls& sys, ConsoleHost& host)
        : target_(target), sys_(sys), host_(host) {}

    // Held back and sent together with the next write, so that the old picture is replaced by
    // the new one in one step instead of flashing an empty screen in between.
    void clear() override { clearPending_ = true; }
    void write(std::string_view text) override;
    void refresh() override;

private:
    void send(std::string_view bytes);

    ConsoleTarget target_;
    SystemCalls& sys_;
    ConsoleHost& host_;
    bool clearPending_ = false;
    bool wroteBefore_ = false;
    bool lost_ = false;
    std::string picture_;  // everything written since the last clear, encoded for display
};

}  // namespace brickstorm::platform
