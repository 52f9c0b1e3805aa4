// The same play with the game's own keys and with bound ones: the rules see the same codes, so
// the game goes the same way, tick for tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/key_bindings.h"
#include "support/game_driver.h"
#include "support/null_console.h"

namespace brickstorm::settings {
namespace {

using testing::GameDriver;
using testing::NullConsole;

// What a tick leaves that a player could tell apart.
struct Moment {
    std::string screen;
    std::int32_t level = 0;
    Vec3 position;
    Vec3 displayPosition;
    double yaw = 0.0;
    std::int8_t climbPhase = 0;
    std::int32_t shotTicks = 0;
    std::vector<Vec3> enemies;

    friend bool operator==(const Moment&, const Moment&) = default;
};

Moment momentOf(const GameState& state) {
    Moment moment{
        state.screen,     state.levelNumber,       state.player.position,  state.player.displayPosition,
        state.player.yaw, state.player.climbPhase, state.player.shotTicks, {}};
    for (const EnemyEntity& enemy : state.enemies) {
        moment.enemies.push_back(enemy.position);
    }
    return moment;
}

// One press in the script: the action, and the ticks that pass before the next.
struct Press {
    Action action;
    int ticks;
};

// The codes a key sends: an arrow its prefix first.
std::vector<int> codesOf(Key key) {
    if (key.arrow) {
        return {kNavigationKeyPrefix, key.code};
    }
    return {key.code};
}

// Plays the script on the built-in first level, pressing each action's key in `bindings`, and
// notes every tick.
std::vector<Moment> play(const KeyBindings& bindings, const std::vector<Press>& script) {
    NullConsole console;
    GameDriver game(console);
    KeyTranslator translator(bindings);
    game.enterFirstLevel();
    std::vector<Moment> moments;
    for (const Press& press : script) {
        for (const int code : codesOf(bindings.keyFor(press.action))) {
            game.press(translator.translate(code));
        }
        for (int tick = 0; tick < press.ticks; ++tick) {
            game.tick();
            moments.push_back(momentOf(game.state));
        }
    }
    return moments;
}

TEST(BoundPlay, BoundKeysPlayTickForTickAsTheGameOwnKeys) {
    const std::vector<Press> script{
        {Action::Forward, 12},  {Action::Forward, 3},   {Action::TurnLeft, 25},  {Action::StepRight, 12},
        {Action::Shoot, 4},     {Action::TurnRight, 5}, {Action::Forward, 20},   {Action::Climb, 30},
        {Action::StepLeft, 12}, {Action::Back, 12},     {Action::TurnRight, 25}, {Action::Shoot, 15},
        {Action::Forward, 12},  {Action::Forward, 12},  {Action::Climb, 30},     {Action::Forward, 40},
    };
    KeyBindings bound = KeyBindings::forLayout(KeyLayout::Azerty);
    bound.bind(Action::StepLeft, Key{false, 'j'});
    bound.bind(Action::StepRight, Key{false, 'l'});
    bound.bind(Action::Climb, Key{true, kUpArrowCode});
    bound.bind(Action::Shoot, Key{false, 'F'});

    const std::vector<Moment> own = play(KeyBindings{}, script);
    const std::vector<Moment> boundPlay = play(bound, script);
    ASSERT_EQ(own.size(), boundPlay.size());
    for (std::size_t tick = 0; tick < own.size(); ++tick) {
        ASSERT_EQ(own[tick], boundPlay[tick]) << "the plays part at tick " << tick;
    }
    // The script goes somewhere: the player moved and turned.
    EXPECT_NE(own.front().position, own.back().position);
    EXPECT_NE(own.front().yaw, own.back().yaw);
}

TEST(BoundPlay, TheGameOwnKeysDoNothingOnceTheirActionsHaveMoved) {
    KeyBindings bound = KeyBindings::forLayout(KeyLayout::Azerty);
    NullConsole console;
    GameDriver game(console);
    KeyTranslator translator(bound);
    game.enterFirstLevel();
    const PlayerEntity before = game.state.player;
    for (const int code : {int{'w'}, int{'a'}}) {
        game.press(translator.translate(code));
        game.tick(30);
    }
    EXPECT_EQ(game.state.player.position, before.position) << "w moved the player";
    EXPECT_EQ(game.state.player.yaw, before.yaw) << "a turned the player";
    game.press(translator.translate('z'));
    game.tick(30);
    EXPECT_NE(game.state.player.position, before.position) << "z did not step forward";
}

}  // namespace
}  // namespace brickstorm::settings
