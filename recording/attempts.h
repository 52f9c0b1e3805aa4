#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recording/game_run.h"

namespace brickstorm {

// One attempt at a level: from the key that starts it to the tick that ends it.
struct Attempt {
    // Left: the run ended during it; CutOff: its recording stops during it, with no end.
    enum class Outcome { Cleared, Killed, Fell, Left, CutOff };
    std::int32_t level = 0;
    Outcome outcome = Outcome::Left;
    std::int64_t ticks = 0;  // the game ticks run in it, the one that ended it included

    friend bool operator==(const Attempt&, const Attempt&) = default;
};

// Notes every attempt at a level as a run goes.
class AttemptLog final : public RunWatcher {
public:
    void keyHandled(std::int64_t tick, int code, const GameState& state) override;
    void ticked(std::int64_t tick, bool onGameScreen, const GameState& state) override;

    // The attempts that ended, and the one under way as left.
    std::vector<Attempt> attempts() const;

private:
    std::vector<Attempt> ended_;
    std::optional<Attempt> current_;
};

// "level N: cleared after T ticks" (killed, fell, left) and a line break.
std::string attemptLine(const Attempt& attempt);

// "in all: C levels cleared, D deaths, T ticks (M:SS.s)" and a line break, for a run of
// `ticks` ticks in all.
std::string attemptsTotalLine(const std::vector<Attempt>& attempts, std::int64_t ticks);

}  // namespace brickstorm
