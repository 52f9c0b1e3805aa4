#include "recording/replay_check.h"

#include <vector>

#include "recording/attempts.h"
#include "recording/game_run.h"
#include "recording/replay.h"

namespace brickstorm {

ReplayCheck checkReplay(const Recording& recording, GameState& state) {
    GameRun run(state);
    AttemptLog attempts;
    run.watch(attempts);
    Replay replay(recording, run);
    const bool inStep = replay.runToEnd() == Replay::Step::Finished;

    ReplayCheck check;
    std::vector<Attempt> all = attempts.attempts();
    if (!inStep) {
        // The attempt under way when the run went astray says nothing true.
        if (!all.empty() && all.back().outcome == Attempt::Outcome::Left) {
            all.pop_back();
        }
        check.outOfStepTick = replay.outOfStepTick();
    }
    const bool cut = inStep && !recording.end;
    if (cut) {
        check.cutAtTick = run.ticks();
        if (!all.empty() && all.back().outcome == Attempt::Outcome::Left) {
            all.back().outcome = Attempt::Outcome::CutOff;
        }
    }
    for (const Attempt& attempt : all) {
        check.report += attemptLine(attempt);
    }
    if (inStep && !cut) {
        check.report += attemptsTotalLine(all, run.ticks());
    }
    return check;
}

}  // namespace brickstorm
