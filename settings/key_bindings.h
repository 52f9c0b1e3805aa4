#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/key_codes.h"

// Which key the player presses for each action of the game screen. The rules know one key for
// each action; a player whose keyboard puts other keys under the hand binds those instead, and a
// KeyTranslator turns them into the rules' keys before the rules (and a recording) see them.
// Pure: no I/O.
namespace brickstorm::settings {

// The player's actions on the game screen, in the order the level screen and the files name them.
enum class Action : std::uint8_t { Forward, Back, TurnLeft, TurnRight, StepLeft, StepRight, Climb, Shoot };
inline constexpr std::size_t kActionCount = 8;

// The action's name in a configuration file ("forward", "turn-left", ...).
std::string_view actionName(Action action);

// The action of that name; nothing for any other text.
std::optional<Action> actionNamed(std::string_view name);

// The arrows' own codes after their prefix, besides the left and right ones.
inline constexpr int kUpArrowCode = 72;
inline constexpr int kDownArrowCode = 80;

// A key as the player presses it: an ordinary key, which sends its byte, or an arrow, which
// sends a prefix and then its own code.
struct Key {
    bool arrow = false;
    int code = 0;  // the byte, or the arrow's own code

    friend bool operator==(const Key&, const Key&) = default;
};

// The key that a value in a configuration file names: one printable ASCII character (case
// matters), or space, left, right, up or down. Nothing for any other text.
std::optional<Key> keyNamed(std::string_view value);

// The key as a configuration file names it ("z", "space", "left").
std::string keyValueText(Key key);

// The key as the level screen names it: a letter as it must be typed ("z"; a capital as
// "Shift+Z"), other characters as they are, "Space", and "Left arrow" and the like.
std::string keyLabel(Key key);

// Keyboard layouts with a key set of their own.
enum class KeyLayout : std::uint8_t {
    Qwerty,  // the game's own keys: w a s d
    Azerty,  // the French layout: z q s d in their place
};

// The layout of that name ("qwerty", "azerty"); nothing for any other text.
std::optional<KeyLayout> keyLayoutNamed(std::string_view name);

// One key for each action.
class KeyBindings {
public:
    // The game's own keys.
    KeyBindings() = default;

    // The keys of a layout.
    static KeyBindings forLayout(KeyLayout layout);

    Key keyFor(Action action) const { return keys_[static_cast<std::size_t>(action)]; }
    void bind(Action action, Key key) { keys_[static_cast<std::size_t>(action)] = key; }

    // True when the action has another key than the game's own.
    bool rebound(Action action) const;

    // The other action bound to the same key as `action`, if any.
    std::optional<Action> sharingKeyWith(Action action) const;

    friend bool operator==(const KeyBindings&, const KeyBindings&) = default;

private:
    std::array<Key, kActionCount> keys_ = defaultKeys();

    static std::array<Key, kActionCount> defaultKeys();
};

// The code that a key whose action has moved to another key becomes: one that the rules give no
// action on the game screen, but that is still a key on a text screen, where any key moves on.
inline constexpr int kKeyWithoutAction = 127;

// Turns the codes the player's keys send into the codes the rules know for the same actions,
// one code for one code, so that an extended key still comes as a prefix and a code, and a text
// screen moves on for every key as before. A key bound to an action gives that action's code; a
// key whose action the bindings have moved elsewhere gives kKeyWithoutAction (so with
// `forward = z`, w does nothing); every other code passes unchanged. With the game's own keys,
// every code passes unchanged.
class KeyTranslator {
public:
    explicit KeyTranslator(const KeyBindings& bindings = {});

    // The rules' code for the next code read. Remembers whether it follows a prefix.
    int translate(int code);

private:
    std::array<int, 256> ordinary_{};  // by the code of an ordinary key
    std::array<int, 256> extended_{};  // by the code that follows a prefix
    bool afterPrefix_ = false;
};

}  // namespace brickstorm::settings
