#include "core/game_tick.h"
namespace brickstorm {
void gameTick(GameState&) {}
void showDeathScreen(GameState&, std::string) {}
}
