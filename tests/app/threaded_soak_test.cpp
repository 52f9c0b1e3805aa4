#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "app/loops.h"
#include "core/key_handler.h"

namespace brickstorm::app {
namespace {

// Counts what kind of picture each one is, and nothing else.
class TallyConsole : public Console {
public:
    std::map<std::string, int> tally() const {
        const std::lock_guard lock(mutex_);
        return tally_;
    }

private:
    void present(const Picture& picture, PictureChange) override {
        const std::string text = pictureText(picture);
        const std::lock_guard lock(mutex_);
        if (text.find("GAME OVER") != std::string::npos) {
            ++tally_["game over"];
        } else if (text.find("LEVEL ") != std::string::npos) {
            ++tally_["level"];
        } else if (text.find("Press any key") != std::string::npos) {
            ++tally_["title"];
        } else {
            ++tally_["frame"];
        }
    }

    mutable std::mutex mutex_;
    std::map<std::string, int> tally_;
};

std::chrono::seconds soakLength() {
    const char* seconds = std::getenv("BRICKSTORM_SOAK_SECONDS");
    return std::chrono::seconds(seconds != nullptr ? std::atoi(seconds) : 2);
}

// The real loops on their real periods, with keys arriving from a third thread as from the
// keyboard. Run long under ThreadSanitizer; its point is that no access goes unguarded.
TEST(ThreadedSoakTest, LoopsAndKeysShareTheStateSafely) {
    GameState state;
    std::mutex stateLock;
    TallyConsole console;
    {
        std::jthread ticker([&](const std::stop_token& stop) { tickLoop(state, stateLock, stop); });
        std::jthread renderer(
            [&](const std::stop_token& stop) { renderLoop(state, stateLock, console, stop); });
        std::jthread typist([&](const std::stop_token& stop) {
            std::mt19937 random(7);
            const int keys[] = {'w', 'w', 'w', 'a', 'd', 's', ' ', 'r', 75, 77, 224, 'x'};
            std::uniform_int_distribution<std::size_t> pick(0, std::size(keys) - 1);
            while (!stop.stop_requested()) {
                {
                    const std::lock_guard lock(stateLock);
                    handleKey(state, keys[pick(random)]);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
            }
        });
        std::this_thread::sleep_for(soakLength());
    }  // the threads are stopped and joined here

    for (const auto& [picture, count] : console.tally()) {
        std::printf("%-10s %d\n", picture.c_str(), count);
    }
    EXPECT_GT(console.tally()["title"], 0);
    const std::string& screen = state.screen;
    EXPECT_TRUE(screen == "intro" || screen == "levelintro" || screen == "game" || screen == "death");
}

}  // namespace
}  // namespace brickstorm::app
