#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/level_files.h"
#include "support/game_driver.h"
#include "support/route_player.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::NullConsole;
using testing::RoutePlayer;

// The pack that ships with the game, in the order its names sort in.
const std::vector<std::string> kPack = {
    "01-first-steps.lvl", "02-the-narrow-way.lvl", "03-the-stairs.lvl", "04-the-yard.lvl", "05-the-keep.lvl",
};

std::string packPath(const std::string& name) { return std::string(BRICKSTORM_LEVELS) + "/" + name; }

// Plays one level of the pack on its own, from its level screen, by a route of moves (as
// RoutePlayer reads them).
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
    ::testing::AssertionResult follow(std::string_view route) { return player_.follow(route); }

    NullConsole console;
    GameDriver game{console};
    GameState& state = game.state;

private:
    PackLevel(const std::string& levelText, int /*fromText*/) {
        game.state.levels = GameLevels({levelText});
        game.enterFirstLevel();
    }

    RoutePlayer<GameDriver> player_{game};
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

// The campaign: every level in the pack's folder, in the order its names sort in.
std::vector<std::string> campaign() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(BRICKSTORM_LEVELS)) {
        if (entry.path().extension() == ".lvl") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// What a player meets first in every level: its name and a hint on its level screen, and a start
// that gives time to look around (two seconds with no key, still alive and in the level). Each
// level is proved by a run beside it, which the program replays in CI.
TEST(CampaignTest, EveryLevelIsNamedHintedProvedAndStartsSafe) {
    const std::vector<std::string> levels = campaign();
    EXPECT_GE(levels.size(), 24U);
    constexpr int kSafeTicks = 40;
    for (const std::string& name : levels) {
        const app::LevelFilesReport report = app::readLevelFiles({packPath(name)}, true);
        ASSERT_TRUE(report.allGood) << report.lines.front().text;
        const LevelTitle& title = report.titles.front();
        EXPECT_FALSE(title.name.empty()) << name;
        EXPECT_FALSE(title.hint.empty()) << name;
        EXPECT_LE(title.hint.size(), 79U) << name << ": the hint is cut on an 80-column screen";
        EXPECT_TRUE(std::filesystem::exists(packPath("runs/" + name.substr(0, 2) + ".rec"))) << name;

        PackLevel play(name);
        play.game.tick(kSafeTicks);
        EXPECT_EQ(play.state.screen, kScreenGame) << name << ": " << play.state.render.deathMessage;
    }
}

}  // namespace
}  // namespace brickstorm
