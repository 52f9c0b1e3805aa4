#include "core/key_handler.h"
namespace brickstorm {
void handleKey(GameState&, int) {}
}
