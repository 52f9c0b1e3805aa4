#include "core/arena_game.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game_state.h"

namespace brickstorm {
namespace {

constexpr std::int32_t kAnn = 1;
constexpr std::int32_t kBob = 2;

struct Letter {
    int x;
    int z;
    char letter;
};

// A level 9 cells wide (x) and 12 deep (z): a floor at y = 0, the given letters at y = 1, and
// open air at y = 2. The start is always (4, 1, 0).
std::string arenaLevelText(const std::vector<Letter>& letters) {
    constexpr std::size_t kX = 9;
    constexpr std::size_t kZ = 12;
    std::string text = "009003012";
    text += std::string(kX * kZ, 'b');
    std::string ground(kX * kZ, '0');
    ground[(kZ - 1) * kX + 4] = 'p';
    for (const Letter& placed : letters) {
        ground[(kZ - 1 - static_cast<std::size_t>(placed.z)) * kX + static_cast<std::size_t>(placed.x)] =
            placed.letter;
    }
    return text + ground + std::string(kX * kZ, '0');
}

// A match whose players are put in the world by their first key, as a client would.
class ArenaGameTest : public ::testing::Test {
protected:
    void start(ArenaMode mode, std::vector<std::string> levels) {
        state = startArena(mode, GameLevels(std::move(levels)));
    }

    std::vector<ArenaEvent> tick(const std::vector<ArenaKey>& keys = {}) {
        std::vector<ArenaEvent> events = arenaTick(state, keys);
        all.insert(all.end(), events.begin(), events.end());
        return events;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            tick();
        }
    }

    // Joins both players and brings them into the level at its start.
    void enterBoth() {
        addArenaPlayer(state, kAnn);
        addArenaPlayer(state, kBob);
        ticks(2);  // the level screen holds its first tick's keys back
        tick({{kAnn, 'x'}, {kBob, 'x'}});
        ASSERT_EQ(player(kAnn).screen, kScreenGame);
        ASSERT_EQ(player(kBob).screen, kScreenGame);
    }

    ArenaPlayer& player(std::int32_t id) {
        for (ArenaPlayer& each : state.players) {
            if (each.id == id) {
                return each;
            }
        }
        throw std::logic_error("no such player");
    }

    void place(std::int32_t id, Vec3 cell, Facing facing = Facing::PlusZ) {
        PlayerEntity& entity = player(id).entity;
        entity.position = entity.displayPosition = cell;
        entity.facing = facing;
        entity.yaw = 90.0 * static_cast<double>(facing);
    }

    ArenaState state;
    std::vector<ArenaEvent> all;
};

TEST_F(ArenaGameTest, PlayersJoinOnTheLevelScreenAndEnterAtTheStartFacingFar) {
    start(ArenaMode::Coop, {arenaLevelText({})});
    addArenaPlayer(state, kAnn);
    EXPECT_EQ(player(kAnn).screen, kScreenLevelIntro);
    tick({{kAnn, 'w'}});  // sent before the screen could have been seen: held back
    EXPECT_EQ(player(kAnn).screen, kScreenLevelIntro);
    tick({{kAnn, 'w'}});
    ASSERT_EQ(player(kAnn).screen, kScreenGame);
    EXPECT_EQ(player(kAnn).entity.position, (Vec3{4, 1, 0}));
    EXPECT_EQ(player(kAnn).entity.facing, Facing::PlusZ);
    EXPECT_EQ(player(kAnn).entity.moveTicks, 0);  // the key that entered is not also a step

    addArenaPlayer(state, kAnn);  // an id already in the match changes nothing
    EXPECT_EQ(state.players.size(), 1U);
    tick({{7, 'w'}});  // nor does a key of an id not in it
    removeArenaPlayer(state, kAnn);
    EXPECT_TRUE(state.players.empty());
}

TEST_F(ArenaGameTest, KeysGoThroughTheSingleGamesKeyTableInTheGivenOrder) {
    start(ArenaMode::Coop, {arenaLevelText({})});
    enterBoth();
    tick({{kAnn, 'd'}, {kBob, 'w'}, {kAnn, 'w'}});  // Ann turns, so her step is refused
    EXPECT_EQ(player(kAnn).entity.turnTicks, kTurnTicks - 1);
    EXPECT_EQ(player(kAnn).entity.moveTicks, 0);
    EXPECT_EQ(player(kBob).entity.moveTicks, 19);
    ticks(19);
    EXPECT_EQ(player(kAnn).entity.facing, Facing::PlusX);
    EXPECT_EQ(player(kBob).entity.position, (Vec3{4, 1, 1}));
}

// The enemy at (4, 1, 8) must do, tick for tick, what the single game's enemy does chasing the
// expected player.
struct ChaseCase {
    const char* what;
    std::optional<Vec3> ann;  // nothing: Ann is not in the world
    std::optional<Vec3> bob;
    std::optional<std::int32_t> chased;
};

void PrintTo(const ChaseCase& c, std::ostream* out) { *out << c.what; }

class ArenaChaseTest : public ArenaGameTest, public ::testing::WithParamInterface<ChaseCase> {};

TEST_P(ArenaChaseTest, EnemiesChaseTheNearestLivingPlayer) {
    const ChaseCase& c = GetParam();
    start(ArenaMode::Coop, {arenaLevelText({{4, 8, 'e'}})});
    enterBoth();
    EnemyEntity alone = state.enemies.at(0);
    if (c.ann) {
        place(kAnn, *c.ann);
    } else {
        player(kAnn).entity.alive = false;  // dies this tick: its death screen takes it out
    }
    if (c.bob) {
        place(kBob, *c.bob);
    } else {
        removeArenaPlayer(state, kBob);
    }
    for (int t = 0; t < 60; ++t) {
        tick();
        if (!c.ann) {
            ASSERT_EQ(player(kAnn).screen, kScreenDeath);
        }
        if (c.chased) {
            alone.think(player(*c.chased).entity.position);
        }
        updateEntity(alone);
        ASSERT_EQ(state.enemies.size(), 1U) << c.what;
        const EnemyEntity& enemy = state.enemies[0];
        ASSERT_EQ(enemy.displayPosition, alone.displayPosition) << c.what << ", tick " << t;
        ASSERT_EQ(enemy.yaw, alone.yaw) << c.what << ", tick " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArenaChaseTest,
    ::testing::Values(ChaseCase{"Ann nearer", Vec3{1, 1, 6}, Vec3{8, 1, 1}, kAnn},
                      ChaseCase{"Bob nearer, though he joined later", Vec3{1, 1, 2}, Vec3{7, 1, 7}, kBob},
                      ChaseCase{"equally near: the first joined", Vec3{1, 1, 8}, Vec3{7, 1, 8}, kAnn},
                      ChaseCase{"the nearer is dead", std::nullopt, Vec3{8, 1, 1}, kBob},
                      ChaseCase{"nobody in the world", std::nullopt, std::nullopt, std::nullopt}));

TEST_F(ArenaGameTest, ContactKillsTheTouchedPlayerAndAKeyBringsItBack) {
    start(ArenaMode::Coop, {arenaLevelText({{4, 8, 'e'}})});
    enterBoth();
    place(kAnn, {4, 1, 7});
    place(kBob, {0, 1, 0});
    std::vector<ArenaEvent> deaths;
    for (int t = 0; t < 200 && player(kAnn).screen == kScreenGame; ++t) {
        deaths = tick();
    }
    ASSERT_EQ(player(kAnn).screen, kScreenDeath);
    EXPECT_EQ(player(kAnn).deathMessage, kKilledByEnemy);
    ASSERT_EQ(deaths.size(), 1U);
    EXPECT_EQ(deaths[0], ArenaEvent::killed(kAnn, -1, kKilledByEnemy));
    EXPECT_EQ(player(kBob).screen, kScreenGame);  // plays on

    const std::int32_t enemiesLeft = static_cast<std::int32_t>(state.enemies.size());
    tick({{kAnn, 'x'}});  // a key in the tick right after the death screen is held back
    EXPECT_EQ(player(kAnn).screen, kScreenDeath);
    tick({{kAnn, 'x'}});
    ASSERT_EQ(player(kAnn).screen, kScreenGame);
    EXPECT_TRUE(player(kAnn).entity.alive);
    EXPECT_EQ(player(kAnn).entity.position, (Vec3{4, 1, 0}));
    EXPECT_EQ(player(kAnn).entity.facing, Facing::PlusZ);
    EXPECT_EQ(static_cast<std::int32_t>(state.enemies.size()), enemiesLeft);  // the world was not rebuilt
    EXPECT_EQ(state.levelNumber, 1);
}

TEST_F(ArenaGameTest, AFallKillsAsItDoesAlone) {
    std::string level = arenaLevelText({});
    level[9 + (12 - 1 - 1) * 9 + 4] = '0';  // no floor at (4, 0, 1)
    start(ArenaMode::Coop, {level});
    enterBoth();
    tick({{kBob, 'w'}});
    for (int t = 0; t < 100 && player(kBob).screen == kScreenGame; ++t) {
        tick();
    }
    EXPECT_EQ(player(kBob).screen, kScreenDeath);
    EXPECT_EQ(player(kBob).deathMessage, kFellToDeath);
    EXPECT_EQ(player(kAnn).screen, kScreenGame);
}

TEST_F(ArenaGameTest, CoopExitTakenByAnyoneMovesEveryoneToTheNextLevelAndTheSetStartsAgain) {
    const std::string first = arenaLevelText({{4, 2, 'E'}});
    const std::string second = arenaLevelText({{4, 1, 'E'}, {0, 11, 'e'}, {8, 11, 'e'}});
    start(ArenaMode::Coop, {first, second});
    enterBoth();
    player(kAnn).entity.alive = false;  // Ann is dead: her death screen does not stop the level
    tick({{kBob, 'w'}});
    ASSERT_EQ(player(kAnn).screen, kScreenDeath);
    ticks(19);
    std::vector<ArenaEvent> events = tick({{kBob, 'w'}});  // halfway into the exit
    for (int t = 0; t < 12 && events.empty(); ++t) {
        events = tick();
    }
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0], ArenaEvent::exitReached(kBob));
    EXPECT_EQ(events[1], ArenaEvent::levelShown(2));
    EXPECT_EQ(state.levelNumber, 2);
    EXPECT_EQ(state.enemies.size(), 2U);
    for (const ArenaPlayer& each : state.players) {
        EXPECT_EQ(each.screen, kScreenLevelIntro);
        EXPECT_EQ(each.wins, 0);  // coop keeps no score
    }

    ticks(1);
    tick({{kAnn, 'x'}, {kAnn, 'w'}});  // the key after the one that enters is a step
    EXPECT_EQ(player(kAnn).entity.moveTicks, 19);
    ticks(20);
    ASSERT_TRUE(all.back() == ArenaEvent::levelShown(1));
    EXPECT_EQ(state.levelNumber, 1);  // the last level leads back to the first
}

// Ann fires along +z from (4, 1, 0) through Bob at (4, 1, 3) at an enemy beyond him.
struct ShotCase {
    ArenaMode mode;
    bool bobDies;
};

void PrintTo(const ShotCase& c, std::ostream* out) {
    *out << (c.mode == ArenaMode::Versus ? "versus" : "coop");
}

class ArenaShotTest : public ArenaGameTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(ArenaShotTest, AShotPassesThroughPlayersAndKillsThemOnlyInVersus) {
    const ShotCase& c = GetParam();
    start(c.mode, {arenaLevelText({{4, 9, 'e'}, {0, 11, 'b'}})});
    enterBoth();
    place(kBob, {4, 1, 3}, Facing::MinusZ);
    const std::vector<ArenaEvent> events = tick({{kAnn, 'r'}});
    tick();
    EXPECT_TRUE(state.enemies.empty());  // in both modes the shot goes on through Bob
    EXPECT_EQ(player(kBob).screen, c.bobDies ? kScreenDeath : kScreenGame);
    EXPECT_EQ(player(kAnn).screen, kScreenGame);
    EXPECT_EQ(player(kAnn).kills, c.bobDies ? 1 : 0);
    if (c.bobDies) {
        ASSERT_EQ(events.size(), 1U);
        EXPECT_EQ(events[0], ArenaEvent::killed(kBob, kAnn, kShotDead));
        EXPECT_EQ(player(kBob).deathMessage, kShotDead);
    } else {
        EXPECT_TRUE(events.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ArenaShotTest,
                         ::testing::Values(ShotCase{ArenaMode::Coop, false},
                                           ShotCase{ArenaMode::Versus, true}));

TEST_F(ArenaGameTest, VersusPlayersShootingEachOtherInOneTickBothDieAndBothScore) {
    start(ArenaMode::Versus, {arenaLevelText({})});
    enterBoth();
    place(kAnn, {4, 1, 2}, Facing::PlusZ);
    place(kBob, {4, 1, 6}, Facing::MinusZ);
    tick({{kAnn, 'r'}, {kBob, 'r'}});
    EXPECT_EQ(player(kAnn).screen, kScreenDeath);
    EXPECT_EQ(player(kBob).screen, kScreenDeath);
    EXPECT_EQ(player(kAnn).kills, 1);
    EXPECT_EQ(player(kBob).kills, 1);

    // Back at the start after a key; the scores stay, and one's own shot never hurts oneself.
    ticks(1);
    tick({{kAnn, 'x'}, {kAnn, 'r'}});
    tick();
    EXPECT_EQ(player(kAnn).screen, kScreenGame);
    EXPECT_EQ(player(kAnn).kills, 1);
}

TEST_F(ArenaGameTest, VersusTheFirstAtTheExitWinsTheRoundAndPlayersArrivingTogetherShareIt) {
    const std::string level = arenaLevelText({{4, 1, 'E'}, {2, 1, 'E'}});
    start(ArenaMode::Versus, {level, level});
    enterBoth();
    tick({{kBob, 'w'}});
    ticks(10);
    EXPECT_EQ(state.levelNumber, 2);
    EXPECT_EQ(player(kBob).wins, 1);
    EXPECT_EQ(player(kAnn).wins, 0);
    EXPECT_EQ(player(kAnn).screen, kScreenLevelIntro);  // the level screen shows the scores

    ticks(2);
    tick({{kAnn, 'x'}, {kBob, 'x'}});
    place(kAnn, {2, 1, 0});
    tick({{kAnn, 'w'}, {kBob, 'w'}});
    ticks(10);
    EXPECT_EQ(player(kAnn).wins, 1);
    EXPECT_EQ(player(kBob).wins, 2);
    EXPECT_EQ(state.levelNumber, 1);
}

// A whole match played twice from the same keys ends the same, field for field.
TEST_F(ArenaGameTest, EverythingFollowsFromTheKeysAndTheTick) {
    const std::vector<std::string> levels = {arenaLevelText({{4, 8, 'e'}, {1, 5, 'e'}, {7, 11, 'E'}})};
    const auto play = [&levels] {
        ArenaState match = startArena(ArenaMode::Versus, GameLevels(levels));
        std::vector<ArenaEvent> events;
        const char keys[] = "xxwwdwrawwxwrdwwwwaw rrww";
        for (int t = 0; t < 600; ++t) {
            addArenaPlayer(match, t / 50);  // a new player every 50 ticks
            std::vector<ArenaKey> tickKeys;
            for (std::int32_t id = 0; id <= t / 50; ++id) {
                if ((t + id * 7) % 9 == 0) {
                    tickKeys.push_back({id, keys[(t / 9 + id) % (sizeof keys - 1)]});
                }
            }
            const std::vector<ArenaEvent> tickEvents = arenaTick(match, tickKeys);
            events.insert(events.end(), tickEvents.begin(), tickEvents.end());
        }
        return std::make_pair(match, events);
    };
    const auto [one, oneEvents] = play();
    const auto [two, twoEvents] = play();
    EXPECT_EQ(oneEvents, twoEvents);
    EXPECT_FALSE(oneEvents.empty());
    ASSERT_EQ(one.players.size(), two.players.size());
    for (std::size_t i = 0; i < one.players.size(); ++i) {
        EXPECT_EQ(one.players[i].entity.displayPosition, two.players[i].entity.displayPosition);
        EXPECT_EQ(one.players[i].screen, two.players[i].screen);
        EXPECT_EQ(one.players[i].kills, two.players[i].kills);
    }
    EXPECT_EQ(one.enemies.size(), two.enemies.size());
}

}  // namespace
}  // namespace brickstorm
