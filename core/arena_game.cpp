#include "core/arena_game.h"

#include <algorithm>
#include <utility>

#include "core/game_state.h"
#include "core/game_tick.h"
#include "core/key_handler.h"
#include "core/level_loading.h"

namespace brickstorm {

namespace {

// The player with the id, as const as the state it is found in.
template <typename State>
auto* playerWithId(State& state, std::int32_t id) {
    const auto found = std::find_if(state.players.begin(), state.players.end(),
                                    [id](const ArenaPlayer& player) { return player.id == id; });
    return found == state.players.end() ? nullptr : &*found;
}

bool inWorld(const ArenaPlayer& player) { return player.screen == kScreenGame; }

void showScreen(const ArenaState& state, ArenaPlayer& player, const char* screen) {
    player.screen = screen;
    player.screenShownAt = state.tick;
}

// Back at the level's start, fresh, as the single game rebuilds its player.
void enterWorld(const ArenaState& state, ArenaPlayer& player) {
    player.entity = startingPlayer(state.level);
    player.deathMessage.clear();
    showScreen(state, player, kScreenGame);
}

// Builds the world of the current level number and shows everyone its level screen.
void showLevel(ArenaState& state, std::vector<ArenaEvent>& events) {
    state.level = Level(state.levels.levelText(state.levelNumber));
    state.enemies = startingEnemies(state.level);
    for (ArenaPlayer& player : state.players) {
        player.entity = startingPlayer(state.level);
        showScreen(state, player, kScreenLevelIntro);
    }
    events.push_back(ArenaEvent::levelShown(state.levelNumber));
}

// A match does not end with the last level of a finite set: it goes on from its first level.
void showNextLevel(ArenaState& state, std::vector<ArenaEvent>& events) {
    state.levelNumber = state.levels.isLast(state.levelNumber) ? state.firstLevel : state.levelNumber + 1;
    showLevel(state, events);
}

void handleArenaKey(ArenaState& state, ArenaPlayer& player, int code) {
    if (inWorld(player)) {
        handlePlayerKey(player.entity, code);
    } else if (state.tick - player.screenShownAt > kArenaScreenHoldTicks) {
        // Any key leaves the level screen and the death screen for the level's start.
        enterWorld(state, player);
    }
}

// Each enemy decides on the position, from before this tick's player updates, of the nearest
// player in the world (the first joined of those equally near); with nobody there it only
// finishes what it was doing.
void runEnemies(ArenaState& state) {
    std::vector<Vec3> targets;
    for (const ArenaPlayer& player : state.players) {
        if (inWorld(player) && player.entity.alive) {
            targets.push_back(player.entity.position);
        }
    }
    for (EnemyEntity& enemy : state.enemies) {
        const Vec3* nearest = nullptr;
        double nearestSquared = 0.0;
        for (const Vec3& target : targets) {
            const double dx = enemy.position.x - target.x;
            const double dy = enemy.position.y - target.y;
            const double dz = enemy.position.z - target.z;
            const double squared = dx * dx + dy * dy + dz * dz;
            if (nearest == nullptr || squared < nearestSquared) {
                nearest = &target;
                nearestSquared = squared;
            }
        }
        if (nearest != nullptr) {
            enemy.think(*nearest);
        }
        updateEntity(enemy);
    }
    std::erase_if(state.enemies, [](const EnemyEntity& enemy) { return !enemy.alive; });
}

void testContact(ArenaState& state) {
    for (const EnemyEntity& enemy : state.enemies) {
        for (ArenaPlayer& player : state.players) {
            if (inWorld(player) && player.entity.alive && touchesPlayer(enemy, player.entity)) {
                player.entity.alive = false;
                player.entity.deathMessage = kKilledByEnemy;
            }
        }
    }
}

// In versus a shot kills every other living player in its band, each kill scoring for the
// shooter; two players may shoot each other in the same tick. Then, in both modes, it kills
// the enemies in the band and counts down, as it does alone.
void resolveShots(ArenaState& state, std::vector<std::int32_t>& shotBy) {
    for (std::size_t s = 0; s < state.players.size(); ++s) {
        ArenaPlayer& shooter = state.players[s];
        if (!inWorld(shooter)) {
            continue;
        }
        if (state.mode == ArenaMode::Versus) {
            for (std::size_t t = 0; t < state.players.size(); ++t) {
                ArenaPlayer& target = state.players[t];
                if (t != s && inWorld(target) && target.entity.alive &&
                    shooter.entity.shotCovers(target.entity)) {
                    target.entity.alive = false;
                    target.entity.deathMessage = kShotDead;
                    shotBy[t] = shooter.id;
                    ++shooter.kills;
                }
            }
        }
        shooter.entity.resolveShot(state.enemies);
    }
}

// Whoever is on the exit after moving takes it, even if it died in this same tick, as alone.
// Returns whether the level is won.
bool takeExits(ArenaState& state, std::vector<ArenaEvent>& events) {
    bool taken = false;
    for (ArenaPlayer& player : state.players) {
        if (inWorld(player) && playerOnExit(state.level, player.entity)) {
            taken = true;
            if (state.mode == ArenaMode::Versus) {
                ++player.wins;  // players who arrive in the same tick share the round
            }
            events.push_back(ArenaEvent::exitReached(player.id));
        }
    }
    return taken;
}

void showDeaths(ArenaState& state, const std::vector<std::int32_t>& shotBy, std::vector<ArenaEvent>& events) {
    for (std::size_t i = 0; i < state.players.size(); ++i) {
        ArenaPlayer& player = state.players[i];
        if (inWorld(player) && !player.entity.alive) {
            player.deathMessage = player.entity.deathMessage;
            showScreen(state, player, kScreenDeath);
            events.push_back(ArenaEvent::killed(player.id, shotBy[i], player.deathMessage));
        }
    }
}

// The single game's order: enemies, their dead removed, contact, shots, the players' own
// motion, then the exit and the deaths.
void runWorld(ArenaState& state, std::vector<ArenaEvent>& events) {
    runEnemies(state);
    testContact(state);
    std::vector<std::int32_t> shotBy(state.players.size(), -1);
    resolveShots(state, shotBy);
    for (ArenaPlayer& player : state.players) {
        if (inWorld(player)) {
            updateEntity(player.entity);
        }
    }
    if (takeExits(state, events)) {
        showNextLevel(state, events);
        return;
    }
    showDeaths(state, shotBy, events);
}

}  // namespace

ArenaState startArena(ArenaMode mode, GameLevels levels, std::int32_t firstLevel) {
    ArenaState state;
    state.mode = mode;
    state.levels = std::move(levels);
    state.firstLevel = firstLevel;
    state.levelNumber = firstLevel;
    std::vector<ArenaEvent> unused;
    showLevel(state, unused);
    return state;
}

void addArenaPlayer(ArenaState& state, std::int32_t id) {
    if (playerWithId(state, id) != nullptr) {
        return;
    }
    ArenaPlayer player;
    player.id = id;
    player.entity = startingPlayer(state.level);
    showScreen(state, player, kScreenLevelIntro);
    state.players.push_back(std::move(player));
}

void removeArenaPlayer(ArenaState& state, std::int32_t id) {
    std::erase_if(state.players, [id](const ArenaPlayer& player) { return player.id == id; });
}

const ArenaPlayer* findArenaPlayer(const ArenaState& state, std::int32_t id) {
    return playerWithId(state, id);
}

std::vector<ArenaEvent> arenaTick(ArenaState& state, std::span<const ArenaKey> keys) {
    ++state.tick;
    for (const ArenaKey& key : keys) {
        if (ArenaPlayer* player = playerWithId(state, key.player)) {
            handleArenaKey(state, *player, key.code);
        }
    }
    std::vector<ArenaEvent> events;
    runWorld(state, events);
    return events;
}

}  // namespace brickstorm
