#include "recording/attempts.h"

#include <algorithm>

#include "sim/entity.h"

namespace brickstorm {

namespace {

// A tick is 50 ms: two ticks to a tenth of a second.
constexpr std::int64_t kTicksPerTenth = 2;
constexpr std::int64_t kTenthsPerMinute = 600;

std::string counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

const char* outcomeWord(Attempt::Outcome outcome) {
    switch (outcome) {
    case Attempt::Outcome::Cleared: return "cleared";
    case Attempt::Outcome::Killed: return "killed";
    case Attempt::Outcome::Fell: return "fell";
    case Attempt::Outcome::CutOff: return "cut off";
    case Attempt::Outcome::Left: break;
    }
    return "left";
}

// The play time of `ticks` as M:SS.s, cut to the tenth of a second as a stopwatch shows it.
std::string playTime(std::int64_t ticks) {
    const std::int64_t tenths = ticks / kTicksPerTenth;
    const std::int64_t seconds = tenths / 10 % 60;
    return std::to_string(tenths / kTenthsPerMinute) + ":" + (seconds < 10 ? "0" : "") +
           std::to_string(seconds) + "." + std::to_string(tenths % 10);
}

}  // namespace

void AttemptLog::keyHandled(std::int64_t /*tick*/, int /*code*/, const GameState& state) {
    if (!current_ && state.screen == kScreenGame) {
        current_ = Attempt{state.levelNumber, Attempt::Outcome::Left, 0};
    }
}

void AttemptLog::ticked(std::int64_t /*tick*/, bool onGameScreen, const GameState& state) {
    if (!current_ || !onGameScreen) {
        return;
    }
    ++current_->ticks;
    if (state.screen == kScreenGame) {
        return;
    }
    if (state.screen == kScreenDeath) {
        current_->outcome =
            state.render.deathMessage == kKilledByEnemy ? Attempt::Outcome::Killed : Attempt::Outcome::Fell;
    } else {
        current_->outcome = Attempt::Outcome::Cleared;
    }
    ended_.push_back(*current_);
    current_.reset();
}

std::vector<Attempt> AttemptLog::attempts() const {
    std::vector<Attempt> all = ended_;
    if (current_) {
        all.push_back(*current_);
    }
    return all;
}

std::string attemptLine(const Attempt& attempt) {
    return "level " + std::to_string(attempt.level) + ": " + outcomeWord(attempt.outcome) + " after " +
           counted(attempt.ticks, "tick", "ticks") + "\n";
}

std::string attemptsTotalLine(const std::vector<Attempt>& attempts, std::int64_t ticks) {
    const auto cleared = std::ranges::count(attempts, Attempt::Outcome::Cleared, &Attempt::outcome);
    const auto deaths = std::ranges::count_if(attempts, [](const Attempt& attempt) {
        return attempt.outcome == Attempt::Outcome::Killed || attempt.outcome == Attempt::Outcome::Fell;
    });
    return "in all: " + counted(cleared, "level", "levels") + " cleared, " +
           counted(deaths, "death", "deaths") + ", " + counted(ticks, "tick", "ticks") + " (" +
           playTime(ticks) + ")\n";
}

}  // namespace brickstorm
