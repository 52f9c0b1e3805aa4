#include "settings/control_names.h"

#include <initializer_list>
#include <string>

namespace brickstorm::settings {

namespace {

// Single-character names run together, as in the screen's own "WASD"; longer ones take a slash
// between them, so that "Up arrow/Left arrow" still reads as two keys.
std::string joinedLabels(std::initializer_list<Key> keys) {
    bool allSingle = true;
    for (const Key key : keys) {
        allSingle = allSingle && keyLabel(key).size() == 1;
    }
    std::string joined;
    for (const Key key : keys) {
        if (!joined.empty() && !allSingle) {
            joined += '/';
        }
        joined += keyLabel(key);
    }
    return joined;
}

}  // namespace

ControlNames controlNames(const KeyBindings& bindings) {
    ControlNames names;
    names.moveAndTurn = joinedLabels({bindings.keyFor(Action::Forward), bindings.keyFor(Action::TurnLeft),
                                      bindings.keyFor(Action::Back), bindings.keyFor(Action::TurnRight)});
    const Key left = bindings.keyFor(Action::StepLeft);
    const Key right = bindings.keyFor(Action::StepRight);
    if (left != Key{true, kLeftArrowCode} || right != Key{true, kRightArrowCode}) {
        names.strafe = keyLabel(left) + "/" + keyLabel(right);
    }
    names.climb = keyLabel(bindings.keyFor(Action::Climb));
    names.shoot = keyLabel(bindings.keyFor(Action::Shoot));
    return names;
}

}  // namespace brickstorm::settings
