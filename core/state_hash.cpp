#include "core/state_hash.h"

#include <bit>
#include <string>

#include "world/fnv1a.h"

namespace brickstorm {

namespace {

// Feeds values in a fixed byte order, whatever the machine's, so that a recording made on one
// machine is checked the same on another.
class StateHasher {
public:
    void add(std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_.addByte(static_cast<std::uint8_t>(value >> (8 * byte)));
        }
    }
    void add(std::int64_t value) { add(static_cast<std::uint64_t>(value)); }
    void add(bool value) { hash_.addByte(value ? 1 : 0); }
    void add(double value) {
        // Both zeros are the same position; every other value by its exact bits.
        add(std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value));
    }
    void add(const Vec3& point) {
        add(point.x);
        add(point.y);
        add(point.z);
    }
    // With its length first, so that two strings cannot run into each other.
    void add(const std::string& text) {
        add(static_cast<std::uint64_t>(text.size()));
        hash_.add(text);
    }
    std::uint64_t value() const { return hash_.value(); }

private:
    Fnv1a64 hash_;
};

void addEntity(StateHasher& hasher, const Entity& entity) {
    hasher.add(entity.position);
    hasher.add(std::int64_t{static_cast<std::int8_t>(entity.facing)});
    hasher.add(entity.displayPosition);
    hasher.add(entity.yaw);
    hasher.add(entity.alive);
    hasher.add(entity.deathMessage);
    hasher.add(std::int64_t{entity.moveTicks});
    hasher.add(std::int64_t{entity.turnTicks});
    hasher.add(std::int64_t{static_cast<std::uint8_t>(entity.moveDirection)});
    hasher.add(std::int64_t{entity.turnDirection});
    hasher.add(entity.speed);
    hasher.add(entity.turnSpeed);
    hasher.add(entity.climbSpeed);
    hasher.add(std::int64_t{static_cast<std::uint8_t>(entity.climbDirection)});
    hasher.add(std::int64_t{entity.climbPhase});
    hasher.add(std::int64_t{entity.fallCount});
}

}  // namespace

std::uint64_t stateHash(const GameState& state) {
    StateHasher hasher;
    hasher.add(state.screen);
    hasher.add(std::int64_t{state.levelNumber});
    hasher.add(std::int64_t{state.firstLevel});
    hasher.add(state.render.drawScreen);
    hasher.add(std::int64_t{state.render.shownLevel});
    hasher.add(state.render.deathMessage);
    addEntity(hasher, state.player);
    hasher.add(std::int64_t{state.player.shotTicks});
    hasher.add(std::int64_t{state.player.shotMinX});
    hasher.add(std::int64_t{state.player.shotMinZ});
    hasher.add(std::int64_t{state.player.shotMaxX});
    hasher.add(std::int64_t{state.player.shotMaxZ});
    hasher.add(static_cast<std::uint64_t>(state.enemies.size()));
    for (const EnemyEntity& enemy : state.enemies) {
        addEntity(hasher, enemy);
    }
    return hasher.value();
}

}  // namespace brickstorm
