#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "app/loops.h"
#include "core/game_state.h"
#include "platform/terminal.h"
#include "render/console.h"
#include "screens/picture_layout.h"
#include "screens/screen_texts.h"

// The one way the game's threads are run, for the live game, the replay in the terminal and the
// editor's play-test alike:
//
//   calling thread   keys (playKeys), or whatever the caller does meanwhile
//   tick thread      the rules' pace: `tick` every tick period
//   drawing thread   the screens every frame period, under the state lock
//   helpers          the run's own work beside them (the progress keeper)
//
// Every thread it starts has a crash stack of its own. They stop in one order: the tick first, so
// that the state no longer changes; then the drawing, which is told not to wait on a terminal
// that has stopped reading when the program is ending; then the helpers, which may still look at
// the state's last ticks (a level reached in the last moments).
namespace brickstorm::app {

// Why the keys stopped.
struct KeysEnd {
    // The program was asked to end (Ctrl+C, SIGTERM, SIGHUP); None otherwise.
    platform::EndingRequest request = platform::EndingRequest::None;
    bool inputEnded = false;      // no more keys will come
    bool terminalClosed = false;  // they came from a terminal, which has been closed
};

class GameRunner {
public:
    struct Setup {
        GameState& state;
        std::mutex& stateLock;
        Console& console;
        std::function<PictureLayout()> layout;
        ControlNames controls;
        // One tick's work; it takes the state lock itself.
        std::function<void()> tick;
        std::chrono::nanoseconds tickPeriod = kTickPeriod;
        std::chrono::nanoseconds framePeriod = kFramePeriod;
    };

    // Starts the tick, then the drawing: the first tick normally requests the first screen
    // before the drawing thread looks.
    explicit GameRunner(Setup setup);
    // Stops whatever still runs, as stop(false) does.
    ~GameRunner();
    GameRunner(const GameRunner&) = delete;
    GameRunner& operator=(const GameRunner&) = delete;

    // A helper thread beside the tick and the drawing: `work` runs until its token asks it to
    // stop, and may do a last piece of work after that.
    void alsoRun(std::function<void(const std::stop_token&)> work);

    // Reads the keys on the calling thread and hands each to `key` until `key` says the run is
    // over (true), the program is asked to end (see platform::deferEndingSignals), or input ends.
    static KeysEnd playKeys(const std::function<bool(int)>& key);

    // Stops the threads in their order and waits for them. `programEnding`: the program ends
    // next, so a frame that the terminal does not take is given up instead of waited for.
    // Does nothing the second time.
    void stop(bool programEnding);

private:
    Setup setup_;
    std::jthread ticker_;
    std::jthread drawer_;
    std::vector<std::jthread> helpers_;
};

// How the program ends after a run whose keys ended as `end`, once everything is saved and the
// terminal given back: by the ending signal it was asked to end by (one that came while it was
// ending counts too), by SIGHUP if its terminal was closed, and otherwise with `status`.
[[noreturn]] void endAfterRun(const KeysEnd& end, int status);

}  // namespace brickstorm::app
