#include "core/level_loading.h"

#include "render/level_geometry.h"

namespace brickstorm {

void startLevel(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.level = Level(state.levels.levelText(state.levelNumber));
    state.levelFaces = buildLevelFaces(state.level);

    // Every entity gets its own copy of the level: the world is rebuilt whole on every start,
    // so nothing of an earlier attempt survives.
    state.enemies.clear();
    state.player = PlayerEntity(state.level);
    state.player.position = state.level.playerStart;
    state.player.displayPosition = state.level.playerStart;
    for (const Vec3& start : state.level.enemyStarts) {
        EnemyEntity enemy(state.level);
        enemy.position = start;
        enemy.displayPosition = start;
        state.enemies.push_back(enemy);
    }
    state.render.frame.clearFrame();

    // The logical screen goes last: once it reads "game", the world is complete.
    state.render.drawScreen = kScreenGame;
    state.render.screenDrawn = false;
    state.screen = kScreenGame;
}

}  // namespace brickstorm
