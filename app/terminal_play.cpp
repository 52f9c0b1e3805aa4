#include "app/terminal_play.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <stop_token>
#include <string>

#include "app/exit_status.h"
#include "app/game_runner.h"
#include "app/later_notices.h"
#include "app/recording_files.h"
#include "app/terminal_replay.h"
#include "app/window_layout.h"
#include "platform/error_output.h"
#include "platform/terminal.h"
#include "settings/control_names.h"
#include "settings/key_bindings.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

// The terminal taken, with the console to draw on.
std::unique_ptr<Console> takeTerminal(const Options& options) {
    platform::beginTerminalSession();
    return platform::makeTerminalConsole({.fullRedraw = options.fullRedraw,
                                          .colour = options.colour,
                                          .colourDepth = options.colourDepth,
                                          .lostOutputStatus = kExitUnfitTerminal});
}

std::function<PictureLayout()> layoutFor(const Options& options) {
    const LayoutOptions layout{options.fit, options.cellAspect};
    return [layout] { return windowLayoutNow(layout); };
}

// Failed writes during the game: told at once when standard error is not the game's terminal,
// and otherwise once the terminal is the shell's again (written over the picture they would be
// gone with the next frame). Each is told once; any of them makes the exit status say so.
class WriteProblems {
public:
    void tell(const std::string& line) {
        failed_.store(true);
        if (now_) {
            const std::lock_guard lock(toldLock_);
            if (told_.insert(line).second) {
                platform::writeToErrorOutput(line);
            }
            return;
        }
        later_.add(line);
    }
    // After the give-back.
    void tellTheRest() const { platform::writeToErrorOutput(later_.text()); }
    bool any() const { return failed_.load(); }

private:
    const bool now_ = !platform::errorOutputIsTerminal();
    std::atomic<bool> failed_{false};
    std::mutex toldLock_;
    std::set<std::string> told_;
    LaterNotices later_;
};

std::string recordingProblemLine(const std::string& name, const std::string& problem) {
    return "brickstorm: " + escapedForDisplay(name) +
           ": the recording cannot be written in full: " + escapedForDisplay(problem) + "\n";
}

}  // namespace

void playInTerminal(const GamePlay& play) {
    const auto console = takeTerminal(play.options);
    WriteProblems problems;
    // The recording's lines are written by the tick; a failure is told as soon as it is met.
    const auto tickAndTell = [&] {
        play.live.tick();
        if (const std::string problem = play.live.writeProblem(); !problem.empty()) {
            problems.tell(recordingProblemLine(play.recordName, problem));
        }
    };
    GameRunner runner({.state = play.game,
                       .stateLock = play.stateLock,
                       .console = *console,
                       .layout = layoutFor(play.options),
                       .controls = settings::controlNames(play.options.keys),
                       .tick = tickAndTell});
    if (play.progress != nullptr) {
        // A level reached is written outside the lock, so that the tick never waits on the disk.
        runner.alsoRun([&](const std::stop_token& stop) {
            progressLoop(
                play.game, play.stateLock, *play.progress, play.startLevel,
                [&](const std::string& line) { problems.tell(line); }, stop);
        });
    }

    // From here on Ctrl+C, SIGTERM and SIGHUP come to the key loop as requests to end.
    platform::deferEndingSignals(platform::EndingSignals::AskedToEndInOrder);
    // The player's keys become the keys the rules know before the rules see them.
    settings::KeyTranslator translator(play.options.keys);
    const KeysEnd end = GameRunner::playKeys([&](int code) {
        play.live.key(translator.translate(code));
        return false;
    });
    // Whatever ended it, the game ends in order: the recording gets its end and the progress its
    // last level before the terminal is given back and the notices are told.
    runner.stop(true);
    if (const platform::AppendResult last = play.live.finish(); !last.complete()) {
        problems.tell(recordingProblemLine(play.recordName, last.problem));
    }
    platform::endTerminalSession();
    problems.tellTheRest();
    endAfterRun(end, problems.any() ? kExitWriteFailed : kExitSuccess);
}

void replayInTerminal(const Recording& recording, const std::string& name, const Options& options,
                      GameState& game, std::mutex& stateLock) {
    const auto console = takeTerminal(options);
    TerminalReplay replay(
        game, stateLock, recording,
        [&](std::int64_t tick) {
            // From the replay's thread, while the main thread waits for keys: the terminal is given
            // back (a frame in flight lands first) and the program ends with the message.
            platform::endTerminalSession();
            platform::writeToErrorOutput(outOfStepLine(name, tick));
            std::_Exit(kExitReplayOutOfStep);
        },
        options.speed);
    // The window says it is a replay, its pace and where it is, on every picture.
    CaptionedConsole captioned(
        *console, [&] { return replay.caption(); }, [] { return windowLinesNow(); });
    const auto scaled = [&options](std::chrono::nanoseconds period) {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(period / options.speed);
    };
    GameRunner runner({.state = game,
                       .stateLock = stateLock,
                       .console = captioned,
                       .layout = layoutFor(options),
                       .controls = settings::controlNames(options.keys),
                       .tick = [&] { replay.pass(); },
                       .tickPeriod = scaled(kTickPeriod),
                       .framePeriod = scaled(kFramePeriod)});
    // Nothing of a replay needs saving: the ending signals end it at once, the terminal given
    // back, so they are not deferred.
    const KeysEnd end = GameRunner::playKeys([&](int code) { return replay.typed(code); });
    if (end.inputEnded && !end.terminalClosed) {
        // Keys from a file or a pipe that has ended: nobody can press the key that ends the
        // replay, so its end does.
        replay.waitUntilOver();
    }
    runner.stop(true);
    platform::endTerminalSession();
    endAfterRun(end, kExitSuccess);
}

}  // namespace brickstorm::app
