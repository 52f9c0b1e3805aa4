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
    // The game's own keys keep the screen's own names ("WASD", "R"), which show key caps; a key
    // bound otherwise is named as it must be typed.
    const KeyBindings own;
    const auto ownKeys = [&](std::initializer_list<Action> actions) {
        bool same = true;
        for (const Action action : actions) {
            same = same && bindings.keyFor(action) == own.keyFor(action);
        }
        return same;
    };
    ControlNames names;
    if (!ownKeys({Action::Forward, Action::TurnLeft, Action::Back, Action::TurnRight})) {
        names.moveAndTurn = joinedLabels({bindings.keyFor(Action::Forward), bindings.keyFor(Action::TurnLeft),
                                          bindings.keyFor(Action::Back), bindings.keyFor(Action::TurnRight)});
    }
    if (!ownKeys({Action::StepLeft, Action::StepRight})) {
        names.strafe =
            keyLabel(bindings.keyFor(Action::StepLeft)) + "/" + keyLabel(bindings.keyFor(Action::StepRight));
    }
    if (!ownKeys({Action::Climb})) {
        names.climb = keyLabel(bindings.keyFor(Action::Climb));
    }
    if (!ownKeys({Action::Shoot})) {
        names.shoot = keyLabel(bindings.keyFor(Action::Shoot));
    }
    return names;
}

}  // namespace brickstorm::settings
