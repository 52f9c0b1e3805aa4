#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "core/state_hash.h"
#include "recording/game_run.h"
#include "recording/recorder.h"
#include "screens/screens.h"
#include "support/null_console.h"

namespace brickstorm::testing {

// Keeps the state's hash after every tick of a run.
class HashLog final : public RunWatcher {
public:
    void keyHandled(std::int64_t /*tick*/, int /*code*/, const GameState& /*state*/) override {}
    void ticked(std::int64_t /*tick*/, bool /*onGameScreen*/, const GameState& state) override {
        hashes.push_back(stateHash(state));
    }
    std::vector<std::uint64_t> hashes;  // entry i: after tick i + 1
};

// A run recorded the way the live game records it, driven step by step: keys, ticks and render
// passes in the order a test chooses, with no threads and no sleeps.
class RecordedRun {
public:
    explicit RecordedRun(const RecordingHeader& header = builtInHeader()) : recorder_(header) {
        run.watch(recorder_);
        run.watch(hashes);
    }

    static RecordingHeader builtInHeader() {
        RecordingHeader header;
        header.program = "test";
        return header;
    }

    // The key as the key reader hands it over; false when the screen guard dropped it.
    bool press(int code) { return run.key(code); }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            run.tick();
        }
    }
    void render() { drawScreens(state, stateLock_, console_); }

    // Presses `code` and ticks until the player is at rest again (or the game screen is left).
    void act(int code) {
        press(code);
        do {
            tick();
        } while (state.screen == kScreenGame &&
                 (state.player.moveTicks > 0 || state.player.turnTicks > 0 || state.player.climbPhase > 0));
    }

    // Everything written down so far, with an end line after the ticks run.
    std::string text() {
        recorder_.end(run.ticks());
        written_ += recorder_.takeLines();
        return written_;
    }
    // Everything written down so far, without an end line: a run cut off.
    std::string textSoFar() {
        written_ += recorder_.takeLines();
        return written_;
    }

    GameState state;
    GameRun run{state};
    HashLog hashes;

private:
    std::mutex stateLock_;
    NullConsole console_;
    Recorder recorder_;
    std::string written_;
};

}  // namespace brickstorm::testing
