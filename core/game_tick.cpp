#include "core/game_tick.h"

#include <algorithm>
#include <utility>

#include "render/scene.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

// Each enemy decides on the player's cell as it was before this tick's player update, and is
// finished before the next one begins.
void runEnemies(GameState& state) {
    const Vec3 playerPosition = state.player.position;
    for (EnemyEntity& enemy : state.enemies) {
        enemy.think(playerPosition);
        updateEntity(enemy);
    }
}

// Dead enemies go in one pass after the updates, the living keep their order.
void removeDeadEnemies(GameState& state) {
    std::erase_if(state.enemies, [](const EnemyEntity& enemy) { return !enemy.alive; });
}

void testContact(GameState& state) {
    for (const EnemyEntity& enemy : state.enemies) {
        if (touchesPlayer(enemy, state.player)) {
            state.player.alive = false;
            state.player.deathMessage = kKilledByEnemy;
        }
    }
}

// The exit of the last level of a finite set leads to the closing screen instead.
void showNextLevelScreen(GameState& state) {
    if (state.levels.isLast(state.levelNumber)) {
        showClosingScreen(state);
        return;
    }
    ++state.levelNumber;
    showLevelScreen(state);
}

// Hands the render thread the level's faces (shared), the enemies' faces and the camera. The flag
// keeps a render pass from drawing a half-replaced scene.
void publishScene(GameState& state) {
    FaceList enemyFaces;
    for (const EnemyEntity& enemy : state.enemies) {
        enemyFaces = appendFaces(std::move(enemyFaces), enemy.buildModel());
    }
    RenderState& render = state.render;
    render.screenDrawn = true;
    render.levelFaces = state.levelFaces;
    render.enemyFaces = std::move(enemyFaces);
    render.cameraPosition = state.player.displayPosition;
    render.cameraYaw = state.player.yaw;
    render.screenDrawn = false;
}

void runGameTick(GameState& state) {
    runEnemies(state);
    removeDeadEnemies(state);
    testContact(state);
    state.player.resolveShot(state.enemies);
    updateEntity(state.player);
    if (playerOnExit(state.level, state.player)) {
        showNextLevelScreen(state);
    }
    if (!state.player.alive) {
        // Refused after an exit in this same tick: reaching the exit wins over dying.
        showDeathScreen(state, state.player.deathMessage);
    }
    // Built even when the screen has just changed; it is then simply not drawn.
    publishScene(state);
}

}  // namespace

void gameTick(GameState& state) {
    if (state.screen == kScreenGame) {
        runGameTick(state);
    } else if (state.screen == kScreenIntro) {
        // The title reaches the render thread this way; once drawn it is not drawn again.
        state.render.drawScreen = kScreenIntro;
    }
}

bool playerOnExit(const Level& level, const PlayerEntity& player) {
    const Vec3& drawn = player.displayPosition;
    return level.cellAt(roundToInt(drawn.x), roundToInt(drawn.y), roundToInt(drawn.z)) == kCellExit;
}

void showDeathScreen(GameState& state, std::string message) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.render.deathMessage = std::move(message);
    state.render.drawScreen = kScreenDeath;
    state.render.screenDrawn = false;
    state.screen = kScreenDeath;
}

}  // namespace brickstorm
