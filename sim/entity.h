#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/face.h"
#include "world/level.h"
#include "world/vec3.h"

namespace brickstorm {

class EnemyEntity;

// A quarter heading. Turning right adds 1, turning left subtracts 1, both wrapping.
enum class Facing : std::int8_t { PlusZ = 0, PlusX = 1, MinusZ = 2, MinusX = 3 };

// A world step direction; the unit step is 1.0 along its axis.
enum class Direction : std::uint8_t { PlusZ = 0, MinusZ = 1, PlusX = 2, MinusX = 3, Up = 4, Down = 5 };

// A step relative to the facing. Values beyond Right mean nothing and start nothing.
enum class MoveCommand : std::uint8_t { Forward = 0, Back = 1, Left = 2, Right = 3 };

// The turn directions of `turnDirection`.
inline constexpr std::uint8_t kTurnLeft = 0;   // yaw and facing decrease
inline constexpr std::uint8_t kTurnRight = 1;  // yaw and facing increase

// Tick counts and speeds: one tick is 50 ms.
inline constexpr double kPlayerSpeed = 0.05;  // cells per tick: a step takes 20 ticks
inline constexpr double kEnemySpeed = 0.033;  // cells per tick: a step takes 30 ticks
inline constexpr double kTurnSpeed = 4.5;     // degrees per tick: a quarter turn takes 20 ticks
inline constexpr double kClimbSpeed = 0.025;  // cells per tick while rising: 40 ticks
inline constexpr std::int32_t kTurnTicks = 20;

inline constexpr double kFallSpeed = 0.2;  // cells per tick while falling, whatever `speed` is
inline constexpr std::int32_t kFallStepTicks = 5;
inline constexpr std::int32_t kShotTicks = 5;

inline constexpr const char* kFellToDeath = "You fell to your death.";
inline constexpr const char* kKilledByEnemy = "You were killed.";
inline constexpr const char* kShotDead = "You were shot.";

// A cell of the grid by whole coordinates.
struct GridCell {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;

    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// Anything that moves: it occupies one whole cell (`position`) and steps and turns over a
// number of ticks, while its drawn position and heading glide toward the result. Entities are
// values, copied whole and never deleted through an Entity pointer, so the destructor stays
// public and non-virtual and the derived classes are final.
class Entity {
public:
    Entity() = default;

    // Tries to start a one-cell step relative to the facing; the entity may step into empty
    // cells and the outside of the grid.
    virtual void move(MoveCommand command);

    // Advances the step under way by one tick; the climb phases move on when a step ends.
    void updateMove();
    // Starts a quarter turn (kTurnLeft or kTurnRight) unless one is under way.
    void startTurn(std::uint8_t direction);
    // Advances the turn under way by one tick.
    void updateTurn();
    // Lands, starts the next cell of a fall, or kills after a long fall.
    void applyGravity();
    // True when one step toward `direction` keeps the entity on a block: the cell ahead is
    // empty (or outside) and the cell under it is a block.
    bool canStep(Facing direction) const;

    Vec3 position;
    Facing facing = Facing::PlusZ;
    Vec3 displayPosition;
    double yaw = 0.0;
    bool alive = true;
    std::string deathMessage;
    std::int32_t moveTicks = 0;
    std::int32_t turnTicks = 0;
    Direction moveDirection = Direction::PlusZ;
    std::uint8_t turnDirection = kTurnLeft;
    double speed = kPlayerSpeed;
    double turnSpeed = kTurnSpeed;
    double climbSpeed = kClimbSpeed;
    Direction climbDirection = Direction::PlusZ;
    std::int8_t climbPhase = 0;
    std::int32_t fallCount = 0;
    Level level;

protected:
    // Starts a step if the target cell is free: empty, outside the grid, or the exit when
    // `exitIsFree`. A refused step still records its direction.
    void startStep(MoveCommand command, bool exitIsFree);

    // The cell that `position` lies in.
    GridCell cell() const;
    // The letter of `cell` in the entity's own level copy; '0' outside the grid.
    char cellAt(GridCell cell) const;
    // The cell `count` unit steps from `from` toward `direction`.
    static GridCell cellToward(GridCell from, Direction direction, std::int32_t count = 1);
    // The world direction in which `facing` looks, and the sense (+1 or -1) of a direction.
    static Direction forwardOf(Facing facing);
    static double senseOf(Direction direction);
    // The ticks that `length` cells take at `rate` cells per tick.
    static std::int32_t ticksFor(double length, double rate);

private:
    // The coordinate of `point` on the axis of `direction`.
    static double& coordinateAlong(Vec3& point, Direction direction);

    // Moves the drawn position by one tick of the step under way.
    void glide();
    // Puts the drawn coordinate of the step's axis on a whole value and `position` on the next
    // cell.
    void snap();
    // Whether the step that has just ended moves `position`: not a climb's approach or rise.
    bool stepEndsOnNewCell() const;
    // Starts the next step of a climb when one of its steps ends.
    void advanceClimb();
    void fallToDeath();
};

// The player: may step into the exit, climbs, and shoots.
class PlayerEntity final : public Entity {
public:
    PlayerEntity() = default;
    explicit PlayerEntity(Level level);

    void move(MoveCommand command) override;

    // Starts a climb onto the block in front.
    void startClimb();
    // Fires: fixes the shot band in front and arms it for 5 ticks.
    void shoot();
    // Kills every enemy inside the armed shot band, and counts the shot down.
    void resolveShot(std::vector<EnemyEntity>& enemies);
    // True while the shot is armed and `target`'s cell lies in its band, at any height.
    bool shotCovers(const Entity& target) const;

    std::int32_t shotTicks = 0;
    std::int32_t shotMinX = 0;
    std::int32_t shotMinZ = 0;
    std::int32_t shotMaxX = 0;
    std::int32_t shotMaxZ = 0;
};

// An enemy: walks toward the player on solid ground, slower than the player.
class EnemyEntity final : public Entity {
public:
    explicit EnemyEntity(Level level);

    // This tick's decision, given the player's cell: step, turn, or wait.
    void think(Vec3 playerPosition);
    // The enemy's six faces, turned by its yaw and moved to its drawn position.
    FaceList buildModel() const;
};

// One tick of an entity's own motion: the step under way, then the turn, then gravity, so that
// an entity lands or falls from the cell its step has just reached.
void updateEntity(Entity& entity);

// True when the enemy's rounded drawn position is the player's cell.
bool touchesPlayer(const EnemyEntity& enemy, const PlayerEntity& player);

}  // namespace brickstorm
