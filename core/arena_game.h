#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "sim/entity.h"
#include "world/level.h"
#include "world/level_table.h"

// The rules of a match: several players in one level, each its own player entity, driven tick by
// tick by the keys a server took in its order. The single game's rules are not touched: a
// player here steps, turns, climbs, falls and shoots through the same entity operations and key
// table, and the enemies think and move as they do alone.
//
// A player's screen, per player:
//
//     joined, or the level changed --> levelintro --key--> game --died--> death --key--> game
//                                          ^                  |
//                                          +---- exit taken --+  (by anyone in coop; by anyone
//                                                                 in versus, who wins the round)
//
// A player is in the world only on the game screen: enemies chase and kill only players there,
// and only they can take the exit or be shot. The world runs whether or not anyone is in it.
namespace brickstorm {

enum class ArenaMode : std::uint8_t {
    Coop,    // shots hurt only enemies; the exit taken by anyone moves everyone on
    Versus,  // shots kill players too and score for the shooter; the first at the exit wins
};

// A text screen takes keys from the tick after the one that showed it: a key pressed before its
// player could have seen the screen (a step key held through the exit) does not skip it.
inline constexpr std::int64_t kArenaScreenHoldTicks = 1;

struct ArenaPlayer {
    std::int32_t id = 0;             // the server's number for the player, unique in a match
    PlayerEntity entity;             // what the player is in the world while on the game screen
    std::string screen;              // kScreenLevelIntro, kScreenGame or kScreenDeath
    std::int64_t screenShownAt = 0;  // the tick in which `screen` was shown
    std::string deathMessage;        // what the death screen shows
    std::int32_t kills = 0;          // players this one has shot (versus)
    std::int32_t wins = 0;           // rounds this one has won by reaching the exit first (versus)
};

// One key code of one player, as the server took it.
struct ArenaKey {
    std::int32_t player = 0;
    int code = 0;

    friend bool operator==(const ArenaKey&, const ArenaKey&) = default;
};

// What a tick did that a log or a recording reports.
struct ArenaEvent {
    enum class Kind : std::uint8_t {
        Killed,       // `player` died; `by` is the shooter's id in versus, else -1
        ExitReached,  // `player` took the exit (in versus: won the round)
        LevelShown,   // every player now sees the level screen of `level`
    };
    Kind kind = Kind::Killed;
    std::int32_t player = -1;
    std::int32_t by = -1;
    std::int32_t level = 0;
    std::string message;  // the cause of a death, as the death screen shows it

    static ArenaEvent killed(std::int32_t player, std::int32_t by, std::string message) {
        return {Kind::Killed, player, by, 0, std::move(message)};
    }
    static ArenaEvent exitReached(std::int32_t player) { return {Kind::ExitReached, player, -1, 0, {}}; }
    static ArenaEvent levelShown(std::int32_t level) { return {Kind::LevelShown, -1, -1, level, {}}; }

    friend bool operator==(const ArenaEvent&, const ArenaEvent&) = default;
};

struct ArenaState {
    ArenaMode mode = ArenaMode::Coop;
    GameLevels levels;
    std::int32_t firstLevel = 1;
    std::int32_t levelNumber = 1;
    Level level;
    std::vector<EnemyEntity> enemies;  // alive, in the order of the level's enemy starts
    std::vector<ArenaPlayer> players;  // in the order they joined
    std::int64_t tick = 0;             // ticks run so far
};

// A match of `mode` over `levels`, starting at level `firstLevel` with no players.
ArenaState startArena(ArenaMode mode, GameLevels levels, std::int32_t firstLevel = 1);

// Adds a player with the id `id`, who sees the level screen of the running level. Nothing if the
// id is already in the match.
void addArenaPlayer(ArenaState& state, std::int32_t id);

// Takes the player out of the match; nothing if the id is not in it.
void removeArenaPlayer(ArenaState& state, std::int32_t id);

// The player with the id `id`, or null.
const ArenaPlayer* findArenaPlayer(const ArenaState& state, std::int32_t id);

// One tick of 50 ms: this tick's keys in the order given (keys of ids not in the match are
// ignored), then the world. Returns what happened, in order.
std::vector<ArenaEvent> arenaTick(ArenaState& state, std::span<const ArenaKey> keys);

}  // namespace brickstorm
