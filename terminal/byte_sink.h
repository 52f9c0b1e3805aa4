#pragma once

#include <string_view>

// The one thing a terminal's console needs of the operating system: somewhere to write its
// bytes. Each platform provides it (a file descriptor, a console handle) with whatever guard its
// session puts around drawing.
namespace brickstorm::terminal {

// What became of the bytes handed to a display.
enum class Delivery {
    Delivered,
    Withheld,  // nothing may be written now (the terminal is given back): the display never got them
    Lost,      // writing failed for good
};

class ByteSink {
public:
    virtual ~ByteSink() = default;

    // Writes all of `bytes`, in order, as one piece: never cut by the session's taking or giving
    // back of the terminal. After Lost, it is not called again.
    virtual Delivery deliver(std::string_view bytes) = 0;

    // True once after the display lost what it showed (the window was resized, or the terminal
    // given back and taken again), so that the last picture is sent again. An output that keeps
    // what it was sent (a file, a pipe) never asks.
    virtual bool takeRepaintRequest() { return false; }
};

}  // namespace brickstorm::terminal
