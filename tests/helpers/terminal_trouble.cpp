// A program that takes the terminal as the game does and then gets into trouble, for the tests
// of the ways out that the game itself cannot be made to take on purpose:
//   overflow  draws a picture, then overflows its stack
//   draw      draws large pictures, whole, without a pause, until a signal ends it
//   late      ends itself by SIGTERM while a slow frame is being written: "<frame" at its
//             start, ">" at its end, 0.3 s later
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "platform/posix/terminal_session.h"
#include "platform/terminal.h"
#include "render/picture.h"

namespace {

// Deeper and deeper until the stack runs out (the limit is only there so that the compiler
// cannot tell that it never ends).
int descend(int depth, int limit) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return depth < limit ? descend(depth + 1, limit) + frame[0] : frame[0];
}

// A picture of 60 lines, all of the shade `shade`, about 16 KB in UTF-8.
brickstorm::Picture picture(unsigned char shade) {
    brickstorm::Picture picture = brickstorm::blankPicture(91, 60);
    for (int line = 0; line < 60; ++line) {
        brickstorm::placeText(picture, std::string(90, static_cast<char>(shade)) + "#", 0, line);
    }
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    brickstorm::platform::beginTerminalSession();
    const auto console = brickstorm::platform::makeTerminalConsole({.fullRedraw = true});
    if (mode == "overflow") {
        console->showPicture(brickstorm::pictureFromText("ready#"));
        return descend(0, 1 << 30);
    }
    if (mode == "draw") {
        std::thread drawer([&] {
            const brickstorm::Picture pictures[] = {picture(0xB0), picture(0xB2)};
            for (unsigned frame = 0;; ++frame) {
                console->showPicture(pictures[frame % 2]);
            }
        });
        while (true) {
            pause();
        }
    }
    if (mode == "late") {
        std::atomic<bool> writing{false};
        std::thread drawer([&] {
            brickstorm::platform::beginDrawingOnTerminal();
            static_cast<void>(::write(STDOUT_FILENO, "<frame", 6));
            writing.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            static_cast<void>(::write(STDOUT_FILENO, ">", 1));
            brickstorm::platform::endDrawingOnTerminal();
        });
        while (!writing.load()) {
            std::this_thread::yield();
        }
        raise(SIGTERM);
        drawer.join();
    }
    return EXIT_FAILURE;
}
