#pragma once

#include <cstdint>
#include <vector>

#include "core/game_state.h"

// The game as a run of keys and ticks, counted. The live game, a replay in the terminal and a
// check without one all hand their keys and ticks to the rules through here, so a key's tick
// means the same in all three: the number of ticks run before it was handled.
namespace brickstorm {

// Told of what reached the rules, as it happens, under the same lock as the run.
class RunWatcher {
public:
    virtual ~RunWatcher() = default;
    RunWatcher() = default;
    RunWatcher(const RunWatcher&) = delete;
    RunWatcher& operator=(const RunWatcher&) = delete;

    // A key code the rules acted on, after `tick` ticks; `state` as the key left it.
    virtual void keyHandled(std::int64_t tick, int code, const GameState& state) = 0;
    // Tick number `tick` has run; `onGameScreen` when it began on the game screen.
    virtual void ticked(std::int64_t tick, bool onGameScreen, const GameState& state) = 0;
};

class GameRun {
public:
    explicit GameRun(GameState& state) : state_(state) {}

    void watch(RunWatcher& watcher) { watchers_.push_back(&watcher); }

    // Hands one key code to the rules. False when the screen guard drops it (a text screen not
    // yet drawn in full): such a key changes nothing and no watcher hears of it.
    bool key(int code);

    // Runs one game tick.
    void tick();

    // The ticks run so far.
    std::int64_t ticks() const { return ticks_; }

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }

private:
    GameState& state_;
    std::int64_t ticks_ = 0;
    std::vector<RunWatcher*> watchers_;
};

}  // namespace brickstorm
