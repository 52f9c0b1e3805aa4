#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/face.h"
#include "render/face_chunks.h"
#include "render/frame_buffer.h"
#include "render/projection.h"
#include "sim/entity.h"
#include "world/level.h"
#include "world/level_table.h"
#include "world/vec3.h"

namespace brickstorm {

// The names of the screens, compared as strings.
inline constexpr const char* kScreenIntro = "intro";
inline constexpr const char* kScreenLevelIntro = "levelintro";
inline constexpr const char* kScreenGame = "game";
inline constexpr const char* kScreenDeath = "death";
inline constexpr const char* kScreenClosing = "closing";  // after the last exit of a finite set

// Everything the render thread reads, and nothing else.
struct RenderState {
    // The scene, in world space: the level's faces, then each enemy's faces. The level's are
    // shared, not copied: they never change while a level runs.
    std::shared_ptr<const FaceChunks> levelFaces;
    FaceList enemyFaces;
    Vec3 cameraPosition;       // the player's drawn position after the last game tick
    double cameraYaw = 0.0;    // the player's drawn heading after the last game tick
    std::string drawScreen;    // the screen to draw; empty draws nothing
    bool screenDrawn = false;  // while set the render thread draws nothing
    std::int32_t shownLevel = 0;
    LevelTitle shownTitle;             // the name and hint of the shown level, when its file gives them
    std::int32_t shownFirstLevel = 1;  // where the game started, for the closing screen
    std::string deathMessage;
    ViewSettings view;
    FrameBuffer frame;
};

// All data of the game. The program owns exactly one; tests build their own.
struct GameState {
    RenderState render;
    std::string screen = kScreenIntro;  // decides what a key and a tick do
    std::int32_t levelNumber = 1;
    std::int32_t firstLevel = 1;  // where the game starts, and starts again after the closing screen
    GameLevels levels;
    Level level;
    std::shared_ptr<const FaceChunks> levelFaces;  // built once per level start
    std::vector<EnemyEntity> enemies;              // alive, in the order of the level's enemy starts
    PlayerEntity player;
};

// A screen may be left once its text screen has been drawn in full, or at any time from the game.
bool canLeaveScreen(const GameState& state);

// Switches to the level screen of the current level number, if the guard lets it.
void showLevelScreen(GameState& state);

// Switches to the closing screen that follows the last level, if the guard lets it.
void showClosingScreen(GameState& state);

// Switches back to the title, with the game to start again from its first level, if the guard
// lets it.
void showTitleScreen(GameState& state);

// Makes a fresh game start at level `number` (from 1), now and after every closing screen.
void startAtLevel(GameState& state, std::int32_t number);

}  // namespace brickstorm
