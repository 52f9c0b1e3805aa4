#include "core/level_loading.h"

#include <string>

#include "render/level_geometry.h"
#include "world/level_table.h"

namespace brickstorm {

namespace {

// The string of level `number`, counted from 1. Numbers beyond the table (and below it) get the
// empty string, which parses to the empty world that levels 2 to 10 also have.
std::string levelText(std::int32_t number) {
    const LevelTable& table = levelTable();
    if (number < 1 || static_cast<std::size_t>(number) > table.size()) {
        return {};
    }
    return table[static_cast<std::size_t>(number) - 1];
}

}  // namespace

void startLevel(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.level = Level(levelText(state.levelNumber));
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
