#include "settings/key_bindings.h"

#include <cctype>

#include "core/key_handler.h"

namespace brickstorm::settings {

namespace {

constexpr std::array<std::string_view, kActionCount> kActionNames{
    "forward", "back", "turn-left", "turn-right", "step-left", "step-right", "climb", "shoot",
};

// The code the rules know for each action, in the order of Action.
constexpr std::array<int, kActionCount> kRuleCodes{
    kKeyForward, kKeyBack, kKeyTurnLeft, kKeyTurnRight, kKeyStrafeLeft, kKeyStrafeRight, kKeyClimb, kKeyShoot,
};

constexpr int kSpaceCode = ' ';
constexpr int kFirstPrintable = '!';
constexpr int kLastPrintable = '~';

struct NamedArrow {
    std::string_view value;  // in a configuration file
    std::string_view label;  // on the level screen
    int code;
};
constexpr std::array<NamedArrow, 4> kArrows{{
    {"left", "Left arrow", kLeftArrowCode},
    {"right", "Right arrow", kRightArrowCode},
    {"up", "Up arrow", kUpArrowCode},
    {"down", "Down arrow", kDownArrowCode},
}};

constexpr Action actionAt(std::size_t index) { return static_cast<Action>(index); }

bool isPrefix(int code) { return code == kFunctionKeyPrefix || code == kNavigationKeyPrefix; }

}  // namespace

std::string_view actionName(Action action) { return kActionNames[static_cast<std::size_t>(action)]; }

std::optional<Action> actionNamed(std::string_view name) {
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (kActionNames[i] == name) {
            return actionAt(i);
        }
    }
    return std::nullopt;
}

std::optional<Key> keyNamed(std::string_view value) {
    if (value.size() == 1 && value[0] >= kFirstPrintable && value[0] <= kLastPrintable) {
        return Key{false, value[0]};
    }
    if (value == "space") {
        return Key{false, kSpaceCode};
    }
    for (const NamedArrow& arrow : kArrows) {
        if (arrow.value == value) {
            return Key{true, arrow.code};
        }
    }
    return std::nullopt;
}

std::string keyValueText(Key key) {
    if (key.arrow) {
        for (const NamedArrow& arrow : kArrows) {
            if (arrow.code == key.code) {
                return std::string(arrow.value);
            }
        }
        return "arrow " + std::to_string(key.code);
    }
    return key.code == kSpaceCode ? "space" : std::string(1, static_cast<char>(key.code));
}

std::string keyLabel(Key key) {
    if (key.arrow) {
        for (const NamedArrow& arrow : kArrows) {
            if (arrow.code == key.code) {
                return std::string(arrow.label);
            }
        }
        return keyValueText(key);
    }
    if (key.code == kSpaceCode) {
        return "Space";
    }
    const auto character = static_cast<unsigned char>(key.code);
    // Keys are told apart by case, so a letter is named as it must be typed: a small letter as
    // itself, a capital with the Shift that types it.
    if (std::isupper(character) != 0) {
        return "Shift+" + std::string(1, static_cast<char>(character));
    }
    return std::string(1, static_cast<char>(character));
}

std::optional<KeyLayout> keyLayoutNamed(std::string_view name) {
    if (name == "qwerty") {
        return KeyLayout::Qwerty;
    }
    if (name == "azerty") {
        return KeyLayout::Azerty;
    }
    return std::nullopt;
}

std::array<Key, kActionCount> KeyBindings::defaultKeys() {
    return {Key{false, 'w'},           Key{false, 's'},
            Key{false, 'a'},           Key{false, 'd'},
            Key{true, kLeftArrowCode}, Key{true, kRightArrowCode},
            Key{false, kSpaceCode},    Key{false, 'r'}};
}

KeyBindings KeyBindings::forLayout(KeyLayout layout) {
    KeyBindings bindings;
    if (layout == KeyLayout::Azerty) {
        // Where w and a are on a QWERTY keyboard, an AZERTY one has z and q; s and d stay.
        bindings.bind(Action::Forward, Key{false, 'z'});
        bindings.bind(Action::TurnLeft, Key{false, 'q'});
    }
    return bindings;
}

bool KeyBindings::rebound(Action action) const {
    const auto index = static_cast<std::size_t>(action);
    return keys_[index] != defaultKeys()[index];
}

std::optional<Action> KeyBindings::sharingKeyWith(Action action) const {
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (actionAt(i) != action && keys_[i] == keyFor(action)) {
            return actionAt(i);
        }
    }
    return std::nullopt;
}

KeyTranslator::KeyTranslator(const KeyBindings& bindings) {
    for (std::size_t code = 0; code < ordinary_.size(); ++code) {
        ordinary_[code] = static_cast<int>(code);
        extended_[code] = static_cast<int>(code);
    }
    // The rules act on a code whatever key sent it: an extended key acts as the ordinary key of
    // the same code, as Ctrl+Home steps forward like w. Every such way to an action whose key has
    // moved is closed, ...
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (bindings.rebound(actionAt(i))) {
            const auto code = static_cast<std::size_t>(kRuleCodes[i]);
            ordinary_[code] = kKeyWithoutAction;
            extended_[code] = kKeyWithoutAction;
        }
    }
    // ... and then each action's own key opens its way again.
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const Key key = bindings.keyFor(actionAt(i));
        (key.arrow ? extended_ : ordinary_)[static_cast<std::size_t>(key.code)] = kRuleCodes[i];
    }
}

int KeyTranslator::translate(int code) {
    if (code < 0 || code >= static_cast<int>(ordinary_.size())) {
        return code;  // not a key code: nothing to translate
    }
    const auto index = static_cast<std::size_t>(code);
    if (afterPrefix_) {
        afterPrefix_ = false;
        return extended_[index];
    }
    if (isPrefix(code)) {
        afterPrefix_ = true;
        return code;
    }
    return ordinary_[index];
}

}  // namespace brickstorm::settings
