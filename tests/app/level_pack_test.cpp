#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/level_files.h"
#include "support/game_driver.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::NullConsole;

// The pack that ships with the game, in the order its names sort in.
const std::vector<std::string> kPack = {
    "01-first-steps.lvl", "02-the-narrow-way.lvl", "03-the-stairs.lvl", "04-the-yard.lvl", "05-the-keep.lvl",
};

std::string packPath(const std::string& name) { return std::string(BRICKSTORM_LEVELS) + "/" + name; }

// Plays one level of the pack on its own, from its level screen, by a route of moves:
//   w s a d and Space as the keys, < and > the arrows (sideways steps),
//   ! waits for an enemy to come into the line of fire ahead and shoots it,
//   . waits half a second.
// Each move is ticked until the player is at rest again.
class PackLevel {
public:
    explicit PackLevel(const std::string& name) {
        const app::LevelFilesReport report = app::readLevelFiles({packPath(name)}, true);
        for (const app::ReportLine& line : report.lines) {
            EXPECT_FALSE(line.problem) << line.text;
        }
        if (report.allGood) {
            game.state.levels = GameLevels(report.levelTexts);
        }
        game.enterFirstLevel();
    }

    // A level given as the text of a file.
    static PackLevel fromText(std::string_view text) {
        const LevelFileResult result = parseLevelFile(text);
        EXPECT_TRUE(std::holds_alternative<LevelFileLevel>(result));
        return PackLevel(std::get<LevelFileLevel>(result).text, 0);
    }

    // Follows the route; false (with the reason) as soon as a move goes wrong.
    ::testing::AssertionResult follow(std::string_view route) {
        for (std::size_t i = 0; i < route.size(); ++i) {
            if (state.screen != "game") {
                return ::testing::AssertionFailure()
                       << "the level ended (" << state.screen << ": " << state.render.deathMessage
                       << ") before move " << i << " '" << route[i] << "'";
            }
            if (route[i] == '!' && !shootTheNextEnemyAhead()) {
                return ::testing::AssertionFailure() << "no enemy came into the line of fire at move " << i;
            }
            if (route[i] == '.') {
                game.tick(10);
            } else if (route[i] != '!') {
                game.act(keyOf(route[i]));
            }
        }
        return ::testing::AssertionSuccess();
    }

    NullConsole console;
    GameDriver game{console};
    GameState& state = game.state;

private:
    PackLevel(const std::string& levelText, int /*fromText*/) {
        game.state.levels = GameLevels({levelText});
        game.enterFirstLevel();
    }

    static int keyOf(char move) {
        switch (move) {
        case '<': return 75;
        case '>': return 77;
        default: return move;
        }
    }

    // True when the enemy stands in the player's line of fire: ahead, and before the first block.
    bool inLineOfFire(const EnemyEntity& enemy) const {
        const Vec3& p = state.player.position;
        const Vec3& e = enemy.position;
        const auto y = static_cast<std::int32_t>(p.y);
        const std::int32_t dx[] = {0, 1, 0, -1};  // by facing: +z, +x, -z, -x
        const std::int32_t dz[] = {1, 0, -1, 0};
        const auto f = static_cast<std::size_t>(state.player.facing);
        auto x = static_cast<std::int32_t>(p.x);
        auto z = static_cast<std::int32_t>(p.z);
        for (int i = 0; i <= 50 && state.level.cellAt(x, y, z) != kCellBlock; ++i) {
            if (e.x == x && e.z == z) {
                return true;
            }
            x += dx[f];
            z += dz[f];
        }
        return false;
    }

    bool shootTheNextEnemyAhead() {
        const std::size_t enemiesBefore = state.enemies.size();
        for (int tick = 0; tick < 2000 && state.screen == "game"; ++tick) {
            for (const EnemyEntity& enemy : state.enemies) {
                if (inLineOfFire(enemy)) {
                    game.press('r');
                    game.tick(2);  // the shot kills, the next tick removes the dead
                    return state.enemies.size() < enemiesBefore;
                }
            }
            game.tick();
        }
        return false;
    }
};

// Every level of the pack, from its start to its exit. Each ends the set it is played in.
struct PackCase {
    const char* level;
    const char* route;
};

class LevelPackTest : public ::testing::TestWithParam<PackCase> {};

TEST_P(LevelPackTest, CanBeFinished) {
    PackLevel play(GetParam().level);
    ASSERT_EQ(play.state.screen, "game");
    EXPECT_TRUE(play.follow(GetParam().route));
    EXPECT_EQ(play.state.screen, "closing") << play.state.render.deathMessage;
    EXPECT_TRUE(play.state.enemies.empty()) << "every enemy is shot on the way";
}

INSTANTIATE_TEST_SUITE_P(Pack, LevelPackTest,
                         ::testing::Values(PackCase{"01-first-steps.lvl", "ww ww w"},
                                           PackCase{"02-the-narrow-way.lvl", "wwwwwd!wwwwawwwwww"},
                                           PackCase{"03-the-stairs.lvl", "!!wwwww    ww"},
                                           PackCase{"04-the-yard.lvl", "!!wwwww  !wwww"},
                                           PackCase{"05-the-keep.lvl", "a!dww   !!w<www>w"}),
                         [](const ::testing::TestParamInfo<PackCase>& info) {
                             std::string name;
                             for (const char* c = info.param.level; *c != '.'; ++c) {
                                 if (std::isalpha(static_cast<unsigned char>(*c)) != 0) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

// The example of the format in the README, as it stands there.
TEST(LevelFormatExampleTest, CanBeFinished) {
    PackLevel play = PackLevel::fromText(
        "# A short walk\n002 002 003\n\n# Layer 0: the floor\nbb\nbb\nbb\n\n# Layer 1: far row first\neE\n00\np0\n");
    EXPECT_TRUE(play.follow("!w>w"));
    EXPECT_EQ(play.state.screen, "closing");
}

TEST(LevelPackFilesTest, TheWholePackIsGood) {
    std::vector<std::string> paths;
    paths.reserve(kPack.size());
    for (const std::string& name : kPack) {
        paths.push_back(packPath(name));
    }
    const app::LevelFilesReport report = app::readLevelFiles(paths, true);
    for (const app::ReportLine& line : report.lines) {
        EXPECT_FALSE(line.problem) << line.text;
    }
    EXPECT_EQ(report.levelTexts.size(), kPack.size());
}

}  // namespace
}  // namespace brickstorm
