// Plays one level by a route of moves, with no terminal and no clock, and writes the run as a
// recording, the way the game records a run played by hand:
//
//     brickstorm_make_run [--trace] LEVEL.lvl ROUTE-FILE RECORDING
//
// The recording names the level file as given, so run it from where the replay will be run
// (the source tree's top for levels/runs). The route is text, one move a character; blanks, line
// ends and comments from '#' to the line's end are left out:
//
//     w s a d r   the game's keys: a step ahead or back, a quarter turn, a shot
//     c           Space: a climb onto the block ahead
//     < >         the arrows: a step to the side
//     !           wait until an enemy stands in the line of fire ahead, then shoot
//     *           the same until no enemy is left in the level
//     .           wait half a second
//
// Each move is held until the player is at rest again. The title and the level screen are left
// as a player leaves them: a moment to read, then a key. The level must be cleared by the route:
// otherwise nothing is written, and the reason (with --trace, every move) goes to standard error.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/level_files.h"
#include "app/recording_files.h"
#include "core/game_state.h"
#include "core/key_codes.h"
#include "platform/file_writing.h"
#include "recording/game_run.h"
#include "recording/recorder.h"
#include "world/level_table.h"

namespace {

using namespace brickstorm;

constexpr std::string_view kUsage = "usage: brickstorm_make_run [--trace] LEVEL.lvl ROUTE-FILE RECORDING\n";
// How long a wait for an enemy may last before the route is taken to be wrong: a minute of play.
constexpr int kMostWaitTicks = 1200;
constexpr int kHalfSecondTicks = 10;

class RoutePlay {
public:
    RoutePlay(const RecordingHeader& header, const std::string& levelText, bool trace)
        : recorder_(header), trace_(trace) {
        state_.levels = GameLevels({levelText});
        startAtLevel(state_, 1);
        run_.watch(recorder_);
        run_.tick();
    }

    // From a text screen, the way a player leaves it: a moment to read it, then a key.
    void leaveTextScreen() {
        ticks(8);
        state_.render.screenDrawn = true;  // no render thread: the screen counts as drawn
        ticks(4);
        run_.key(' ');
    }

    // Plays the route; false, with the reason on standard error, when it goes wrong.
    bool follow(std::string_view route) {
        bool comment = false;
        for (std::size_t i = 0; i < route.size(); ++i) {
            const char move = route[i];
            if (move == '\n') {
                comment = false;
            }
            if (comment || move == ' ' || move == '\n' || move == '\t' || move == '\r') {
                continue;
            }
            if (move == '#') {
                comment = true;
                continue;
            }
            if (state_.screen != kScreenGame) {
                std::cerr << "the level ended (" << state_.screen << ": " << state_.render.deathMessage
                          << ") before move " << i << " '" << move << "'\n";
                return false;
            }
            if (!play(move, i)) {
                return false;
            }
            if (trace_) {
                const PlayerEntity& p = state_.player;
                std::cerr << "move " << i << " '" << move << "' tick " << run_.ticks() << ": at "
                          << p.position.x << "," << p.position.y << "," << p.position.z << " facing "
                          << static_cast<int>(p.facing) << ", " << state_.enemies.size() << " enemies, "
                          << state_.screen << "\n";
            }
        }
        return true;
    }

    // The run so far, the end line after a moment on the last screen.
    std::string finish() {
        ticks(kHalfSecondTicks * 2);
        recorder_.end(run_.ticks());
        return recorder_.takeLines();
    }

    const GameState& state() const { return state_; }

private:
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            run_.tick();
        }
    }

    bool play(char move, std::size_t at) {
        switch (move) {
        case 'w':
        case 's':
        case 'a':
        case 'd':
        case 'r': act({move}); return true;
        case 'c': act({' '}); return true;
        case '<': act({kNavigationKeyPrefix, kLeftArrowCode}); return true;
        case '>': act({kNavigationKeyPrefix, kRightArrowCode}); return true;
        case '.': ticks(kHalfSecondTicks); return true;
        case '*':
            while (!state_.enemies.empty()) {
                if (!shootTheNextEnemyAhead()) {
                    std::cerr << "no enemy came into the line of fire at move " << at << ", "
                              << state_.enemies.size() << " left\n";
                    return false;
                }
            }
            return true;
        case '!':
            if (!shootTheNextEnemyAhead()) {
                std::cerr << "no enemy came into the line of fire at move " << at << "\n";
                return false;
            }
            return true;
        default: std::cerr << "move " << at << ": '" << move << "' is not a move\n"; return false;
        }
    }

    // Presses the key and ticks until the player is at rest again, or the level is over.
    void act(std::initializer_list<int> codes) {
        for (const int code : codes) {
            run_.key(code);
        }
        do {
            run_.tick();
        } while (state_.screen == kScreenGame &&
                 (state_.player.moveTicks > 0 || state_.player.turnTicks > 0 || state_.player.climbPhase > 0));
    }

    // True when an enemy stands in the player's line of fire: ahead, before the first block.
    bool enemyInLineOfFire() const {
        const Vec3& p = state_.player.position;
        const auto y = static_cast<std::int32_t>(p.y);
        const std::int32_t dx[] = {0, 1, 0, -1};  // by facing: +z, +x, -z, -x
        const std::int32_t dz[] = {1, 0, -1, 0};
        const auto f = static_cast<std::size_t>(state_.player.facing);
        for (const EnemyEntity& enemy : state_.enemies) {
            auto x = static_cast<std::int32_t>(p.x);
            auto z = static_cast<std::int32_t>(p.z);
            for (int i = 0; i <= 50 && state_.level.cellAt(x, y, z) != kCellBlock; ++i) {
                if (static_cast<std::int32_t>(enemy.position.x) == x &&
                    static_cast<std::int32_t>(enemy.position.z) == z) {
                    return true;
                }
                x += dx[f];
                z += dz[f];
            }
        }
        return false;
    }

    bool shootTheNextEnemyAhead() {
        const std::size_t before = state_.enemies.size();
        for (int tick = 0; tick < kMostWaitTicks && state_.screen == kScreenGame; ++tick) {
            if (enemyInLineOfFire()) {
                run_.key('r');
                ticks(2);  // the shot kills, the next tick removes the dead
                return state_.enemies.size() < before;
            }
            run_.tick();
        }
        return false;
    }

    GameState state_;
    GameRun run_{state_};
    Recorder recorder_;
    bool trace_ = false;
};

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool trace = !arguments.empty() && arguments.front() == "--trace";
    if (trace) {
        arguments.erase(arguments.begin());
    }
    if (arguments.size() != 3) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string& levelFile = arguments[0];
    const app::LevelFilesReport levels = app::readLevelFiles({levelFile}, true);
    if (!levels.allGood) {
        std::cerr << levels.lines.front().text;
        return 1;
    }
    std::ifstream routeFile(arguments[1], std::ios::binary);
    if (!routeFile) {
        std::cerr << "brickstorm_make_run: " << arguments[1] << ": cannot be read\n";
        return 1;
    }
    RoutePlay play(app::recordingHeader({levelFile}, levels, 1), levels.levelTexts.front(), trace);
    play.leaveTextScreen();  // the title
    play.leaveTextScreen();  // the level screen
    if (!play.follow(readWhole(arguments[1]))) {
        return 1;
    }
    if (play.state().screen != kScreenClosing) {
        std::cerr << "the route ends before the exit (" << play.state().screen << ": "
                  << play.state().render.deathMessage << ")\n";
        return 1;
    }
    const platform::FileWriteResult written = platform::writeFileAtomically(arguments[2], play.finish());
    if (!written.written) {
        std::cerr << "brickstorm_make_run: " << arguments[2] << ": " << written.problem << "\n";
        return 1;
    }
    return 0;
}
