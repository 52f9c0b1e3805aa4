#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "core/game_state.h"
#include "core/key_codes.h"

namespace brickstorm::testing {

// Plays a level by a route of moves, in a game driven step by step (a GameDriver or a
// RecordedRun):
//   w s a d and Space as the keys, < and > the arrows (sideways steps),
//   ! waits for an enemy to come into the line of fire ahead and shoots it,
//   . waits half a second.
// Each move is ticked until the player is at rest again.
template <class Play>
class RoutePlayer {
public:
    explicit RoutePlayer(Play& play) : play_(play), state_(play.state) {}

    // Follows the route; false (with the reason) as soon as a move goes wrong.
    ::testing::AssertionResult follow(std::string_view route) {
        for (std::size_t i = 0; i < route.size(); ++i) {
            if (state_.screen != kScreenGame) {
                return ::testing::AssertionFailure()
                       << "the level ended (" << state_.screen << ": " << state_.render.deathMessage
                       << ") before move " << i << " '" << route[i] << "'";
            }
            if (route[i] == '!' && !shootTheNextEnemyAhead()) {
                return ::testing::AssertionFailure() << "no enemy came into the line of fire at move " << i;
            }
            if (route[i] == '.') {
                play_.tick(10);
            } else if (route[i] != '!') {
                play_.act(keyOf(route[i]));
            }
        }
        return ::testing::AssertionSuccess();
    }

    // From a text screen, the way a player leaves it: a moment to read it, then a key.
    void leaveTextScreen() {
        play_.tick(8);
        play_.render();
        play_.tick(4);
        play_.press(' ');
    }

private:
    static int keyOf(char move) {
        switch (move) {
        case '<': return kLeftArrowCode;
        case '>': return kRightArrowCode;
        default: return move;
        }
    }

    // True when the enemy stands in the player's line of fire: ahead, and before the first block.
    bool inLineOfFire(const EnemyEntity& enemy) const {
        const Vec3& p = state_.player.position;
        const Vec3& e = enemy.position;
        const auto y = static_cast<std::int32_t>(p.y);
        const std::int32_t dx[] = {0, 1, 0, -1};  // by facing: +z, +x, -z, -x
        const std::int32_t dz[] = {1, 0, -1, 0};
        const auto f = static_cast<std::size_t>(state_.player.facing);
        auto x = static_cast<std::int32_t>(p.x);
        auto z = static_cast<std::int32_t>(p.z);
        for (int i = 0; i <= 50 && state_.level.cellAt(x, y, z) != kCellBlock; ++i) {
            if (e.x == x && e.z == z) {
                return true;
            }
            x += dx[f];
            z += dz[f];
        }
        return false;
    }

    bool shootTheNextEnemyAhead() {
        const std::size_t enemiesBefore = state_.enemies.size();
        for (int tick = 0; tick < 2000 && state_.screen == kScreenGame; ++tick) {
            for (const EnemyEntity& enemy : state_.enemies) {
                if (inLineOfFire(enemy)) {
                    play_.press('r');
                    play_.tick(2);  // the shot kills, the next tick removes the dead
                    return state_.enemies.size() < enemiesBefore;
                }
            }
            play_.tick();
        }
        return false;
    }

    Play& play_;
    GameState& state_;
};

}  // namespace brickstorm::testing
