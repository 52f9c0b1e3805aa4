// The level screen names the keys the player has bound; with the game's own keys it is the
// screen as it always was.
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "screens/screens.h"
#include "screens/text_screen.h"
#include "settings/control_names.h"
#include "support/recording_console.h"
#include "support/text_lines.h"

namespace brickstorm::settings {
namespace {

using testing::RecordingConsole;

// The level screen of level 3 as the render thread draws it for `bindings`.
std::string levelScreenFor(const KeyBindings& bindings) {
    GameState state;
    std::mutex stateLock;
    RecordingConsole console;
    state.render.shownLevel = 3;
    state.render.drawScreen = kScreenLevelIntro;
    ShownPictures shown;
    drawScreens(state, stateLock, console, PictureLayout{}, shown, controlNames(bindings));
    return console.lastPage();
}

std::string centred(const std::string& text) {
    const std::size_t before = (90 - text.size()) / 2;
    return std::string(before, ' ') + text + std::string(90 - text.size() - before, ' ') + "#";
}

TEST(LevelScreenKeys, TheGameOwnKeysDrawTheScreenAsItWas) {
    EXPECT_EQ(levelScreenFor(KeyBindings{}), composeTextScreen(levelScreenLines(3)));
}

TEST(LevelScreenKeys, BoundKeysAreNamedInTheirLines) {
    KeyBindings bindings = KeyBindings::forLayout(KeyLayout::Azerty);
    bindings.bind(Action::StepLeft, Key{false, 'j'});
    bindings.bind(Action::StepRight, Key{false, 'l'});
    bindings.bind(Action::Climb, Key{true, kUpArrowCode});
    bindings.bind(Action::Shoot, Key{false, 'F'});
    const auto lines = testing::splitLines(levelScreenFor(bindings));
    ASSERT_EQ(lines.size(), 60U);
    // The block is still 14 lines, centred: the controls are its 7th to 10th lines.
    EXPECT_EQ(lines[23], centred("LEVEL 3"));
    EXPECT_EQ(lines[29], centred("zqsd - Movement & turning"));
    EXPECT_EQ(lines[30], centred("j/l - Strifing"));
    EXPECT_EQ(lines[31], centred("Up arrow - Wall climbing"));
    EXPECT_EQ(lines[32], centred("Shift+F - Shooting"));
    EXPECT_EQ(lines[36], centred(kPressAnyKey));
}

}  // namespace
}  // namespace brickstorm::settings
