#include "app/config_reading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/fake_files.h"

namespace brickstorm::app {
namespace {

using platform::FilePieceReader;

constexpr const char* kUsual = "/home/player/.config/brickstorm/brickstorm.conf";

using testing::FakeFiles;

class ConfigReadingTest : public ::testing::Test {
protected:
    CommandLine read(std::vector<std::string_view> arguments, const std::string& usual = kUsual) {
        return readSettings(arguments, usual, [this](const std::string& path, const FilePieceReader& take) {
            return files(path, take);
        });
    }

    FakeFiles files;
};

TEST_F(ConfigReadingTest, TheUsualFileIsInTheSettingsFolder) {
    EXPECT_EQ(std::filesystem::path(usualConfigFile("/home/player/.config/brickstorm")),
              std::filesystem::path("/home/player/.config/brickstorm") / "brickstorm.conf");
    EXPECT_EQ(usualConfigFile(""), "");
}

TEST_F(ConfigReadingTest, TheCommandLineWinsOverTheFile) {
    files.texts[kUsual] = "fit = true\ncell-aspect = 1\ncolor = always\ncolor-depth = 16\nkeys = azerty\n";
    struct Case {
        std::vector<std::string_view> arguments;
        bool fit;
        double cellAspect;
        terminal::ColourWhen colour;
        ColourDepth depth;
        settings::KeyLayout keys;
    };
    using settings::KeyLayout;
    using terminal::ColourWhen;
    for (const Case& c : {
             Case{{}, true, 1.0, ColourWhen::Always, ColourDepth::Basic16, KeyLayout::Azerty},
             Case{{"--cell-aspect", "2"},
                  true,
                  2.0,
                  ColourWhen::Always,
                  ColourDepth::Basic16,
                  KeyLayout::Azerty},
             Case{{"--color=never", "--color-depth=24"},
                  true,
                  1.0,
                  ColourWhen::Never,
                  ColourDepth::Direct24,
                  KeyLayout::Azerty},
             Case{
                 {"--keys", "qwerty"}, true, 1.0, ColourWhen::Always, ColourDepth::Basic16, KeyLayout::Qwerty},
         }) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        const CommandLine line = read(c.arguments);
        ASSERT_EQ(line.action, Action::Play) << line.error;
        EXPECT_EQ(line.options.fit, c.fit);
        EXPECT_EQ(line.options.cellAspect, c.cellAspect);
        EXPECT_FALSE(line.options.fullRedraw);
        EXPECT_EQ(line.options.colour, c.colour);
        EXPECT_EQ(line.options.colourDepth, c.depth);
        EXPECT_EQ(line.options.keys, settings::KeyBindings::forLayout(c.keys));
    }
}

TEST_F(ConfigReadingTest, KeysOnTheCommandLineReplaceEveryKeyOfTheFile) {
    files.texts[kUsual] = "key shoot = f\n";
    EXPECT_EQ(read({}).options.keys.keyFor(settings::Action::Shoot), (settings::Key{false, 'f'}));
    EXPECT_EQ(read({"--keys=azerty"}).options.keys,
              settings::KeyBindings::forLayout(settings::KeyLayout::Azerty));
}

TEST_F(ConfigReadingTest, WhichFileIsRead) {
    files.texts[kUsual] = "fit = true\n";
    files.texts["mine.conf"] = "full-redraw = true\n";
    struct Case {
        std::vector<std::string_view> arguments;
        std::string usual;
        std::vector<std::string> opened;
    };
    for (const Case& c : {
             Case{{}, kUsual, {kUsual}},
             Case{{"--config", "mine.conf"}, kUsual, {"mine.conf"}},
             Case{{"--config=mine.conf"}, kUsual, {"mine.conf"}},
             Case{{"--no-config"}, kUsual, {}},
             Case{{}, "", {}},  // no settings folder
             Case{{"--help"}, kUsual, {}},
             Case{{"--version"}, kUsual, {}},
             Case{{"--check", "a.lvl"}, kUsual, {}},
             Case{{"--no-such-option"}, kUsual, {}},
         }) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        files.opened.clear();
        read(c.arguments, c.usual);
        EXPECT_EQ(files.opened, c.opened);
    }
    EXPECT_FALSE(read({"--config", "mine.conf"}).options.fit);
    EXPECT_TRUE(read({"--config", "mine.conf"}).options.fullRedraw);
}

TEST_F(ConfigReadingTest, FilesThatCannotBeUsed) {
    files.texts[kUsual] = "fit = true\n\ncolor = green\n";
    files.texts["big.conf"] = std::string(settings::kMaxConfigFileBytes + 1, '#');
    files.texts["ok.conf"] = std::string(settings::kMaxConfigFileBytes - 1, ' ') + "\n";
    files.texts["bad\x1b[31m.conf"] = "fit\n";
    struct Case {
        std::vector<std::string_view> arguments;
        std::string message;
    };
    for (const Case& c : {
             Case{
                 {},
                 "brickstorm: /home/player/.config/brickstorm/brickstorm.conf:3: bad value 'green' for color: "
                 "always, auto or never\n"},
             Case{{"--config", "gone.conf"}, "brickstorm: gone.conf: no such file\n"},
             Case{{"--config", "dir"}, "brickstorm: dir: a directory, not a configuration file\n"},
             Case{{"--config", "locked"}, "brickstorm: locked: cannot be read: Permission denied\\x1b[0m\n"},
             Case{{"--config", "big.conf"},
                  "brickstorm: big.conf: bigger than 65536 bytes, too big for a configuration file\n"},
             Case{{"--config", "bad\x1b[31m.conf"},
                  "brickstorm: bad\\x1b[31m.conf:1: no '=' in 'fit': a setting is written name = value\n"},
         }) {
        SCOPED_TRACE(c.message);
        const CommandLine line = read(c.arguments);
        EXPECT_EQ(line.action, Action::SettingsError);
        EXPECT_EQ(line.error, c.message);
    }
    EXPECT_EQ(read({"--config", "ok.conf"}).action, Action::Play);
}

TEST_F(ConfigReadingTest, AMissingUsualFileIsNoMistake) {
    const CommandLine line = read({"--fit"});
    EXPECT_EQ(line.action, Action::Play);
    EXPECT_TRUE(line.options.fit);
}

TEST_F(ConfigReadingTest, ConflictingOptions) {
    EXPECT_EQ(read({"--config", "a.conf", "--no-config"}).error,
              "--config and --no-config together: choose one");
    EXPECT_EQ(read({"--continue", "--no-state"}).error,
              "--continue needs the progress that --no-state leaves alone: choose one");
    EXPECT_EQ(read({"--continue", "--level", "2"}).error, "--continue and --level together: choose one");
    EXPECT_TRUE(read({"--continue"}).options.continueGame);
    EXPECT_TRUE(read({"--no-state"}).options.noState);
    EXPECT_EQ(read({"--keys", "dvorak"}).error, "bad value 'dvorak' for --keys: qwerty or azerty");
    EXPECT_EQ(read({"--config"}).error, "option '--config' needs a value");
}

}  // namespace
}  // namespace brickstorm::app
