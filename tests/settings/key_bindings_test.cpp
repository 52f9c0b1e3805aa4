#include "settings/key_bindings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/key_handler.h"
#include "settings/control_names.h"

namespace brickstorm::settings {
namespace {

constexpr int kNone = kKeyWithoutAction;
constexpr int kArrow = kNavigationKeyPrefix;

std::vector<int> translated(const KeyBindings& bindings, const std::vector<int>& codes) {
    KeyTranslator translator(bindings);
    std::vector<int> out;
    out.reserve(codes.size());
    for (const int code : codes) {
        out.push_back(translator.translate(code));
    }
    return out;
}

KeyBindings with(std::initializer_list<std::pair<Action, Key>> keys, KeyLayout layout = KeyLayout::Qwerty) {
    KeyBindings bindings = KeyBindings::forLayout(layout);
    for (const auto& [action, key] : keys) {
        bindings.bind(action, key);
    }
    return bindings;
}

Key ordinary(char c) { return Key{false, c}; }
Key arrow(int code) { return Key{true, code}; }

TEST(KeyTranslator, TheGameOwnKeysChangeNoCode) {
    // Every code, as an ordinary key and after each prefix: the rules see what they always saw.
    std::vector<int> codes;
    for (int code = 0; code < 256; ++code) {
        codes.insert(codes.end(), {code, kFunctionKeyPrefix, code, kNavigationKeyPrefix, code});
    }
    EXPECT_EQ(translated(KeyBindings{}, codes), codes);
}

TEST(KeyTranslator, BoundKeysBecomeTheRulesKeys) {
    struct Case {
        const char* what;
        KeyBindings bindings;
        std::vector<int> pressed;
        std::vector<int> seen;
    };
    const Case cases[] = {
        {"forward = z: z steps forward, w does nothing",
         with({{Action::Forward, ordinary('z')}}),
         {'z', 'w', 's'},
         {kKeyForward, kNone, kKeyBack}},
        {"forward = z: no other key reaches forward either (Ctrl+Home sends 224 then w)",
         with({{Action::Forward, ordinary('z')}}),
         {kArrow, 'w'},
         {kArrow, kNone}},
        {"forward = z: the other actions keep every way they had (K and Ctrl+Left)",
         with({{Action::Forward, ordinary('z')}}),
         {'K', kArrow, 's', kArrow, kLeftArrowCode},
         {kKeyStrafeLeft, kArrow, kKeyBack, kArrow, kKeyStrafeLeft}},
        {"step-left = j: one code for one code; the arrow keeps its prefix and loses its action",
         with({{Action::StepLeft, ordinary('j')}}),
         {'j', kArrow, kLeftArrowCode, 'K'},
         {kKeyStrafeLeft, kArrow, kNone, kNone}},
        {"forward = up: an arrow bound to an action still comes as prefix and code",
         with({{Action::Forward, arrow(kUpArrowCode)}}),
         {0, kUpArrowCode, kArrow, kUpArrowCode, 'H'},
         {0, kKeyForward, kArrow, kKeyForward, 'H'}},
        {"climb = c, shoot = F: space and r do nothing, and case matters",
         with({{Action::Climb, ordinary('c')}, {Action::Shoot, ordinary('F')}}),
         {'c', ' ', 'F', 'f', 'r'},
         {kKeyClimb, kNone, kKeyShoot, 'f', kNone}},
        {"turn-left = w and forward = z: keys may change places",
         with({{Action::Forward, ordinary('z')}, {Action::TurnLeft, ordinary('w')}}),
         {'w', 'z', 'a'},
         {kKeyTurnLeft, kKeyForward, kNone}},
        {"azerty: z q s d for w a s d",
         KeyBindings::forLayout(KeyLayout::Azerty),
         {'z', 'q', 's', 'd', 'w', 'a'},
         {kKeyForward, kKeyTurnLeft, kKeyBack, kKeyTurnRight, kNone, kNone}},
        {"codes that are no key codes pass untouched",
         with({{Action::Forward, ordinary('z')}}),
         {-1, 256, 1000},
         {-1, 256, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(translated(c.bindings, c.pressed), c.seen);
    }
}

TEST(KeyBindings, KeysByName) {
    struct Case {
        std::string_view value;
        std::optional<Key> key;
    };
    for (const Case& c : {
             Case{"z", ordinary('z')}, Case{"Z", ordinary('Z')}, Case{"#", ordinary('#')},
             Case{"space", ordinary(' ')}, Case{"left", arrow(kLeftArrowCode)},
             Case{"right", arrow(kRightArrowCode)}, Case{"up", arrow(kUpArrowCode)},
             Case{"down", arrow(kDownArrowCode)}, Case{"", std::nullopt}, Case{"zz", std::nullopt},
             Case{"Space", std::nullopt}, Case{" ", std::nullopt}, Case{"\x01", std::nullopt},
             Case{"\x7f", std::nullopt},
             Case{"\xc3\xa9", std::nullopt},  // é: its two bytes would arrive as two keys
         }) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(keyNamed(c.value), c.key);
        if (c.key) {
            EXPECT_EQ(keyValueText(*c.key), c.value);  // written back as it was read
        }
    }
}

TEST(KeyBindings, ActionsByName) {
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        EXPECT_EQ(actionNamed(actionName(action)), action);
    }
    EXPECT_EQ(actionNamed("jump"), std::nullopt);
    EXPECT_EQ(actionNamed("Forward"), std::nullopt);
}

TEST(ControlNames, TheGameOwnKeysKeepTheLevelScreenAsItIs) {
    EXPECT_EQ(controlNames(KeyBindings{}), ControlNames{});
    EXPECT_EQ(controlNames(KeyBindings::forLayout(KeyLayout::Qwerty)), ControlNames{});
}

TEST(ControlNames, BoundKeysAsTheLevelScreenNamesThem) {
    struct Case {
        KeyBindings bindings;
        ControlNames names;
    };
    const Case cases[] = {
        {KeyBindings::forLayout(KeyLayout::Azerty), {"zqsd", "Arrow keys", "Space", "R"}},
        {with({{Action::StepLeft, ordinary('j')},
               {Action::StepRight, ordinary('l')},
               {Action::Climb, ordinary('c')},
               {Action::Shoot, ordinary('F')}}),
         {"WASD", "j/l", "c", "Shift+F"}},
        {with({{Action::Forward, arrow(kUpArrowCode)},
               {Action::TurnLeft, arrow(kLeftArrowCode)},
               {Action::Back, arrow(kDownArrowCode)},
               {Action::TurnRight, arrow(kRightArrowCode)},
               {Action::StepLeft, ordinary(',')},
               {Action::StepRight, ordinary('.')},
               {Action::Shoot, ordinary(' ')},
               {Action::Climb, ordinary('x')}}),
         {"Up arrow/Left arrow/Down arrow/Right arrow", ",/.", "x", "Space"}},
        {with({{Action::StepRight, ordinary('m')}}), {"WASD", "Left arrow/m", "Space", "R"}},
        // Keys are told apart by case: a small letter is not shown as a capital.
        {with({{Action::Shoot, ordinary('f')}}), {"WASD", "Arrow keys", "Space", "f"}},
        {with({{Action::Forward, ordinary('W')}}), {"Shift+W/a/s/d", "Arrow keys", "Space", "R"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(controlNames(c.bindings), c.names);
    }
}

}  // namespace
}  // namespace brickstorm::settings
