#include "world/level_loading.h"
namespace brickstorm {
void startLevel(GameState&) {}
}
