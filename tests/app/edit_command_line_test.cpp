// The editor's options on the command line: --edit FILE and --size XxYxZ, and their mistakes.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace brickstorm::app {
namespace {

CommandLine parse(std::vector<std::string_view> arguments) { return parseCommandLine(arguments); }

TEST(EditCommandLine, EditOpensOneFileWithAnOptionalSize) {
    const CommandLine plain = parse({"--edit", "mine.lvl"});
    EXPECT_EQ(plain.action, Action::Edit);
    EXPECT_EQ(plain.options.editFile, "mine.lvl");
    EXPECT_FALSE(plain.options.newLevelSize);

    const CommandLine sized = parse({"--size=20x4x30", "--color", "--edit=-odd.lvl"});
    EXPECT_EQ(sized.action, Action::Edit);
    EXPECT_EQ(sized.options.editFile, "-odd.lvl");
    EXPECT_EQ(sized.options.newLevelSize, (std::array<std::int32_t, 3>{20, 4, 30}));
    EXPECT_EQ(sized.options.colour, terminal::ColourWhen::Always);
    EXPECT_EQ(parse({"--edit", "a.lvl", "--size", "256x128x256"}).options.newLevelSize,
              (std::array<std::int32_t, 3>{256, 128, 256}));
    EXPECT_EQ(parse({"--edit", "a.lvl", "--size", "999x1x1"}).options.newLevelSize,
              (std::array<std::int32_t, 3>{999, 1, 1}));
}

TEST(EditCommandLine, MistakesAreUsageErrors) {
    const std::string sizeError = ": XxYxZ, each from 1 to 999, at most 8388608 cells in all";
    const struct {
        std::vector<std::string_view> arguments;
        std::string error;
    } cases[] = {
        {{"--edit"}, "option '--edit' needs a value"},
        {{"--size", "4x4x4"}, "--size goes with --edit: it is the size of a new level"},
        {{"--edit", "a.lvl", "b.lvl"}, "--edit opens one level file, with no level files to play or check"},
        {{"--check", "--edit", "a.lvl"}, "--edit opens one level file, with no level files to play or check"},
        {{"--edit", "a.lvl", "--size", "4x4"}, "bad value '4x4' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "4x4x4x4"}, "bad value '4x4x4x4' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "0x4x4"}, "bad value '0x4x4' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "1000x1x1"}, "bad value '1000x1x1' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "+4x4x4"}, "bad value '+4x4x4' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "4X4X4"}, "bad value '4X4X4' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "257x128x256"}, "bad value '257x128x256' for --size" + sizeError},
        {{"--edit", "a.lvl", "--size", "4x\x1b[2Jx4"}, "bad value '4x\\x1b[2Jx4' for --size" + sizeError},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.arguments);
        EXPECT_EQ(line.action, Action::UsageError) << c.error;
        EXPECT_EQ(line.error, c.error);
    }
}

TEST(EditCommandLine, HelpNamesTheEditorAndItsKeys) {
    const std::string help = usageText();
    for (const char* text : {"--edit FILE", "--size XxYxZ", "Ctrl+S", "play-test", "recovery copy"}) {
        EXPECT_NE(help.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace brickstorm::app
