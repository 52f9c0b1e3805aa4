// The configuration file as the game reads it: its lines by the file's reader, its names and
// values by the options table.
#include "settings/config_file.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "app/config_reading.h"

namespace brickstorm::settings {
namespace {

using app::Options;

std::variant<Options, ConfigProblem> readConfigText(std::string_view text) { return app::configOptions(text); }

Options good(std::string_view text) {
    auto result = readConfigText(text);
    if (const auto* problem = std::get_if<ConfigProblem>(&result)) {
        ADD_FAILURE() << "line " << problem->line << ": " << problem->what;
        return {};
    }
    return std::get<Options>(result);
}

TEST(ConfigFile, EmptyBlankAndCommentFilesSetNothing) {
    for (const std::string_view text : {"", "\n\n", "# nothing yet\n", "  \t\n   # indented comment\r\n"}) {
        const Options settings = good(text);
        const Options defaults;
        EXPECT_EQ(settings.fit, defaults.fit);
        EXPECT_EQ(settings.cellAspect, defaults.cellAspect);
        EXPECT_EQ(settings.fullRedraw, defaults.fullRedraw);
        EXPECT_EQ(settings.colour, defaults.colour);
        EXPECT_EQ(settings.colourDepth, defaults.colourDepth);
        EXPECT_EQ(settings.keys, defaults.keys);
    }
}

TEST(ConfigFile, EachSettingAndItsValues) {
    const Options settings = good(
        "# Brickstorm\n"
        "fit = true\n"
        "cell-aspect=1.5\n"
        "  full-redraw   =\tfalse  \n"
        "color = auto\r\n"
        "color-depth = 256\n");
    EXPECT_EQ(settings.fit, true);
    EXPECT_EQ(settings.cellAspect, 1.5);
    EXPECT_EQ(settings.fullRedraw, false);
    EXPECT_EQ(settings.colour, terminal::ColourWhen::Auto);
    EXPECT_EQ(settings.colourDepth, ColourDepth::Palette256);
    EXPECT_EQ(settings.keys, KeyBindings{});
}

TEST(ConfigFile, ALaterLineReplacesAnEarlierOne) {
    const Options settings = good("color = always\ncolor = never\nkey shoot = f\nkey shoot = g\n");
    EXPECT_EQ(settings.colour, terminal::ColourWhen::Never);
    EXPECT_EQ(settings.keys.keyFor(Action::Shoot), (Key{false, 'g'}));
}

TEST(ConfigFile, AByteOrderMarkAndALastLineWithoutBreakAreFine) {
    EXPECT_EQ(good("\xEF\xBB\xBF"
                   "fit = true")
                  .fit,
              true);
}

TEST(ConfigFile, Keys) {
    struct Case {
        std::string_view text;
        KeyBindings keys;
    };
    KeyBindings azertyShootF = KeyBindings::forLayout(KeyLayout::Azerty);
    azertyShootF.bind(Action::Shoot, Key{false, 'f'});
    KeyBindings arrowsAndSpace;
    arrowsAndSpace.bind(Action::Forward, Key{true, kUpArrowCode});
    arrowsAndSpace.bind(Action::Back, Key{true, kDownArrowCode});
    arrowsAndSpace.bind(Action::StepLeft, Key{false, ','});
    arrowsAndSpace.bind(Action::TurnLeft, Key{true, kLeftArrowCode});
    arrowsAndSpace.bind(Action::Climb, Key{false, '='});
    arrowsAndSpace.bind(Action::Shoot, Key{false, ' '});
    KeyBindings swapped;  // forward and turn-left trade keys
    swapped.bind(Action::Forward, Key{false, 'a'});
    swapped.bind(Action::TurnLeft, Key{false, 'w'});
    for (const Case& c : {
             Case{"keys = azerty\n", KeyBindings::forLayout(KeyLayout::Azerty)},
             Case{"keys = qwerty\n", KeyBindings{}},
             Case{"key forward = z\nkey turn-left = q\n", KeyBindings::forLayout(KeyLayout::Azerty)},
             // key lines change single keys of the layout, wherever the layout is set
             Case{"key shoot = f\nkeys = azerty\n", azertyShootF},
             Case{"key forward = up\nkey back = down\nkey step-left = ,\nkey turn-left = left\n"
                  "key climb = =\nkey shoot = space\n",
                  arrowsAndSpace},
             Case{"key forward = a\nkey turn-left = w\n", swapped},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(good(c.text).keys, c.keys);
    }
}

TEST(ConfigFile, MistakesAndTheirMessages) {
    struct Case {
        std::string_view text;
        ConfigProblem problem;
    };
    for (const Case& c : {
             Case{"fit\n", {1, "no '=' in 'fit': a setting is written name = value"}},
             Case{"\n\n= true\n", {3, "no name before '='"}},
             Case{"colour = always\n",
                  {1,
                   "unknown setting 'colour': fit, cell-aspect, full-redraw, color, color-depth, keys or key "
                   "ACTION"}},
             Case{"check = true\n",
                  {1,
                   "unknown setting 'check': fit, cell-aspect, full-redraw, color, color-depth, keys or key "
                   "ACTION"}},
             Case{"fit = yes\n", {1, "bad value 'yes' for fit: true or false"}},
             Case{"full-redraw =\n", {1, "bad value '' for full-redraw: true or false"}},
             Case{"cell-aspect = 9\n",
                  {1,
                   "bad value '9' for cell-aspect: a number from 0.25 to 8, a cell's height over its width"}},
             Case{"color = sometimes # auto\n",
                  {1, "bad value 'sometimes # auto' for color: always, auto or never"}},
             Case{"color-depth = 8\n", {1, "bad value '8' for color-depth: 16, 256 or 24"}},
             Case{"keys = dvorak\n", {1, "bad value 'dvorak' for keys: qwerty or azerty"}},
             Case{"key = z\n",
                  {1,
                   "'key' needs an action: key ACTION = KEY, the action one of forward, back, turn-left, "
                   "turn-right, step-left, step-right, climb or shoot"}},
             Case{"key jump = j\n",
                  {1,
                   "unknown action 'jump': forward, back, turn-left, turn-right, step-left, step-right, "
                   "climb or shoot"}},
             Case{"key forward = zz\n",
                  {1, "bad key 'zz' for forward: one printable character, or space, left, right, up or down"}},
             Case{"key forward = \x1b[2J\n",
                  {1,
                   "bad key '\\x1b[2J' for forward: one printable character, or space, left, right, up or "
                   "down"}},
             Case{"fit = true\n\x1b]0;owned\x07 = 1\n",
                  {2,
                   "unknown setting '\\x1b]0;owned\\x07': fit, cell-aspect, full-redraw, color, color-depth, "
                   "keys or key ACTION"}},
             // two actions on one key: told on the line that came last
             Case{"key forward = z\n# shoot\nkey shoot = z\n",
                  {3, "'z' is already the key for forward, on line 1"}},
             Case{"key shoot = z\nkey forward = z\n", {2, "'z' is already the key for shoot, on line 1"}},
             // a key that another action keeps by default, or by the layout
             Case{"key shoot = a\n",
                  {1, "'a' is already the key for turn-left: give turn-left another key too"}},
             Case{"keys = azerty\nkey climb = q\n",
                  {2, "'q' is already the key for turn-left: give turn-left another key too"}},
             Case{"key turn-right = right\n",
                  {1, "'right' is already the key for step-right: give step-right another key too"}},
             // a mistake in a line is told before a clash, which only the whole file shows
             Case{"key shoot = a\nfit = maybe\n", {2, "bad value 'maybe' for fit: true or false"}},
         }) {
        SCOPED_TRACE(c.text);
        const auto result = readConfigText(c.text);
        ASSERT_TRUE(std::holds_alternative<ConfigProblem>(result));
        EXPECT_EQ(std::get<ConfigProblem>(result), c.problem) << std::get<ConfigProblem>(result).what;
    }
}

TEST(ConfigFile, AClashIsNoMistakeOnceTheOtherActionMovesToo) {
    EXPECT_EQ(good("key shoot = a\nkey turn-left = q\n").keys.keyFor(Action::Shoot), (Key{false, 'a'}));
    EXPECT_EQ(good("keys = azerty\nkey turn-left = a\nkey climb = q\n").keys.keyFor(Action::Climb),
              (Key{false, 'q'}));
}

}  // namespace
}  // namespace brickstorm::settings
