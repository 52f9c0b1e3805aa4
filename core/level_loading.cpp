#include "core/level_loading.h"

#include <memory>
#include <utility>

#include "render/face_chunks.h"

namespace brickstorm {

void startLevel(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    startLevel(state, Level(state.levels.levelText(state.levelNumber)));
}

void startLevel(GameState& state, Level level) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.level = std::move(level);
    // The old faces go before the new ones are built, so that a restart of the largest level
    // does not hold two sets of them at once.
    state.levelFaces.reset();
    state.render.levelFaces.reset();
    state.levelFaces = std::make_shared<const FaceChunks>(state.level);

    // Every entity gets its own copy of the level (sharing its cells): the world is rebuilt whole on every
    // start, so nothing of an earlier attempt survives.
    state.enemies.clear();
    state.player = startingPlayer(state.level);
    state.enemies = startingEnemies(state.level);
    state.render.frame.clearFrame();

    // The logical screen goes last: once it reads "game", the world is complete.
    state.render.drawScreen = kScreenGame;
    state.render.screenDrawn = false;
    state.screen = kScreenGame;
}

PlayerEntity startingPlayer(const Level& level) {
    PlayerEntity player(level);
    player.position = level.playerStart;
    player.displayPosition = level.playerStart;
    return player;
}

std::vector<EnemyEntity> startingEnemies(const Level& level) {
    std::vector<EnemyEntity> enemies;
    enemies.reserve(level.enemyStarts().size());
    for (const Vec3& start : level.enemyStarts()) {
        EnemyEntity enemy(level);
        enemy.position = start;
        enemy.displayPosition = start;
        enemies.push_back(enemy);
    }
    return enemies;
}

}  // namespace brickstorm
