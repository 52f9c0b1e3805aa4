#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brickstorm::app {
namespace {

CommandLine parse(std::vector<std::string_view> arguments) { return parseCommandLine(arguments); }

TEST(CommandLine, NoArgumentsPlaysTheGameAsDesigned) {
    const CommandLine line = parse({});
    EXPECT_EQ(line.action, Action::Play);
    EXPECT_FALSE(line.options.fit);
    EXPECT_FALSE(line.options.cellAspect.has_value());
    EXPECT_FALSE(line.options.fullRedraw);
    EXPECT_EQ(line.options.colour, terminal::ColourWhen::Never);
    EXPECT_FALSE(line.options.colourDepth.has_value());
    EXPECT_TRUE(line.options.levelFiles.empty());
    EXPECT_EQ(line.options.startLevel, 1);
}

TEST(CommandLine, StartLevel) {
    EXPECT_EQ(parse({"--level", "3"}).options.startLevel, 3);
    EXPECT_EQ(parse({"--level=999", "a.lvl"}).options.startLevel, 999);
    EXPECT_EQ(parse({"--level", "1"}).options.startLevel, 1);
}

TEST(CommandLine, LevelCountAgainstTheStartLevel) {
    EXPECT_EQ(levelCountError(0, 999), std::nullopt);  // the built-in table never runs out
    EXPECT_EQ(levelCountError(5, 5), std::nullopt);
    EXPECT_EQ(levelCountError(5, 6), "--level 6 is beyond the last level file, level 5");
    EXPECT_EQ(levelCountError(999, 1), std::nullopt);
    EXPECT_EQ(levelCountError(1000, 1), "too many level files: at most 999");
}

TEST(CommandLine, RecordAndReplay) {
    const CommandLine record = parse({"--record", "run.rec", "levels/", "--level=2"});
    EXPECT_EQ(record.action, Action::Play);
    EXPECT_EQ(record.options.recordFile, "run.rec");
    EXPECT_EQ(record.options.levelFiles, std::vector<std::string>{"levels/"});

    const CommandLine replay = parse({"--replay=run.rec", "--speed", "2", "--fit"});
    EXPECT_EQ(replay.action, Action::Replay);
    EXPECT_EQ(replay.options.replayFile, "run.rec");
    EXPECT_EQ(replay.options.speed, 2.0);
    EXPECT_FALSE(replay.options.replayAnyVersion);

    const CommandLine check = parse({"--check", "--replay", "run.rec", "--replay-any-version", "pack/"});
    EXPECT_EQ(check.action, Action::CheckReplay);
    EXPECT_TRUE(check.options.replayAnyVersion);
    EXPECT_EQ(check.options.levelFiles, std::vector<std::string>{"pack/"});
    EXPECT_EQ(parse({"--replay", "r", "--speed=0.25"}).options.speed, 0.25);
    EXPECT_EQ(parse({"--replay", "r", "--speed=16"}).options.speed, 16.0);
}

TEST(CommandLine, ColourWhenAndDepth) {
    struct Case {
        std::vector<std::string_view> arguments;
        terminal::ColourWhen when;
        std::optional<ColourDepth> depth;
    };
    using terminal::ColourWhen;
    for (const Case& c : {
             Case{{"--color"}, ColourWhen::Always, std::nullopt},
             Case{{"--color=always"}, ColourWhen::Always, std::nullopt},
             Case{{"--color=auto"}, ColourWhen::Auto, std::nullopt},
             Case{{"--color=never"}, ColourWhen::Never, std::nullopt},
             Case{{"--color", "--color=never"}, ColourWhen::Never, std::nullopt},  // the last one counts
             Case{{"--color-depth", "16"}, ColourWhen::Never, ColourDepth::Basic16},
             Case{{"--color", "--color-depth=256"}, ColourWhen::Always, ColourDepth::Palette256},
             Case{{"--color-depth", "24", "--color=auto"}, ColourWhen::Auto, ColourDepth::Direct24},
         }) {
        SCOPED_TRACE(c.arguments.front());
        const CommandLine line = parse(c.arguments);
        ASSERT_EQ(line.action, Action::Play) << line.error;
        EXPECT_EQ(line.options.colour, c.when);
        EXPECT_EQ(line.options.colourDepth, c.depth);
        EXPECT_TRUE(line.options.levelFiles.empty());
    }
}

TEST(CommandLine, ColourValueIsOnlyEverAttached) {
    // An optional value cannot be told from a level file that follows: the next word is a file,
    // unless it is one of the values (see the usage errors), which needs ./ to be a file.
    for (const std::string_view file : {"levels/", "./never", "always.lvl"}) {
        const CommandLine line = parse({"--color", file});
        ASSERT_EQ(line.action, Action::Play) << line.error;
        EXPECT_EQ(line.options.colour, terminal::ColourWhen::Always);
        EXPECT_EQ(line.options.levelFiles, std::vector<std::string>{std::string(file)});
    }
    const CommandLine ended = parse({"--color", "--", "never"});
    EXPECT_EQ(ended.options.levelFiles, std::vector<std::string>{"never"});
}

TEST(CommandLine, OptionsAndLevelFilesInAnyOrder) {
    const CommandLine line = parse({"a.lvl", "--fit", "--cell-aspect", "1.5", "b.lvl", "--full-redraw"});
    EXPECT_EQ(line.action, Action::Play);
    EXPECT_TRUE(line.options.fit);
    EXPECT_EQ(line.options.cellAspect, 1.5);
    EXPECT_TRUE(line.options.fullRedraw);
    EXPECT_EQ(line.options.levelFiles, (std::vector<std::string>{"a.lvl", "b.lvl"}));
}

TEST(CommandLine, ValueMayBeAttachedWithEquals) {
    EXPECT_EQ(parse({"--cell-aspect=1"}).options.cellAspect, 1.0);
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
    const CommandLine line = parse({"--", "--fit", "-"});
    EXPECT_EQ(line.action, Action::Play);
    EXPECT_FALSE(line.options.fit);
    EXPECT_EQ(line.options.levelFiles, (std::vector<std::string>{"--fit", "-"}));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingAfterThem) {
    EXPECT_EQ(parse({"--help"}).action, Action::ShowHelp);
    EXPECT_EQ(parse({"-h", "--bogus"}).action, Action::ShowHelp);
    EXPECT_EQ(parse({"--fit", "--version"}).action, Action::ShowVersion);
}

TEST(CommandLine, CheckNeedsLevelFiles) {
    const CommandLine line = parse({"--check", "a.lvl"});
    EXPECT_EQ(line.action, Action::Check);
    EXPECT_EQ(line.options.levelFiles, std::vector<std::string>{"a.lvl"});
    EXPECT_EQ(parse({"--check"}).action, Action::UsageError);
}

// The number that follows `before` in `text`, or nothing.
std::optional<double> numberAfter(const std::string& text, const std::string& before) {
    const std::size_t at = text.find(before);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::strtod(text.c_str() + at + before.size(), nullptr);
}

TEST(CommandLine, TheLevelFileLimitTheTextsNameIsTheOneApplied) {
    std::vector<std::string_view> files(999, "a.lvl");
    EXPECT_EQ(parse(files).action, Action::Play);
    files.emplace_back("b.lvl");
    const CommandLine tooMany = parse(files);
    EXPECT_EQ(tooMany.error, "too many level files: at most 999");

    // Whatever the limit is, the refusal and the help name the number of files taken.
    const auto named = numberAfter(tooMany.error, "at most ");
    ASSERT_TRUE(named.has_value());
    EXPECT_EQ(*named, static_cast<double>(files.size() - 1));
    EXPECT_EQ(numberAfter(usageText(), "in the order given (at most "), named);
}

TEST(CommandLine, TheCellAspectRangeTheRefusalNamesIsTheOneApplied) {
    const std::string refusal = parse({"--cell-aspect", "wide"}).error;
    const auto least = numberAfter(refusal, "a number from ");
    const auto greatest = numberAfter(refusal, " to ");
    ASSERT_TRUE(least.has_value() && greatest.has_value()) << refusal;
    const auto takes = [](double aspect) {
        const std::string text = std::to_string(aspect);
        return parse({"--cell-aspect", text}).action == Action::Play;
    };
    EXPECT_TRUE(takes(*least));
    EXPECT_TRUE(takes(*greatest));
    EXPECT_FALSE(takes(*least - 0.001));
    EXPECT_FALSE(takes(*greatest + 0.001));
}

struct UsageErrorCase {
    std::vector<std::string_view> arguments;
    std::string error;
};

class CommandLineUsageError : public testing::TestWithParam<UsageErrorCase> {};

TEST_P(CommandLineUsageError, GivesOneSafeLine) {
    const CommandLine line = parse(GetParam().arguments);
    EXPECT_EQ(line.action, Action::UsageError);
    EXPECT_EQ(line.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineUsageError,
    testing::Values(
        UsageErrorCase{{"--bogus"}, "unknown option '--bogus'"}, UsageErrorCase{{"-x"}, "unknown option '-x'"},
        UsageErrorCase{{"--fit=yes"}, "option '--fit' takes no value"},
        UsageErrorCase{{"--cell-aspect"}, "option '--cell-aspect' needs a value"},
        UsageErrorCase{
            {"--cell-aspect", "wide"},
            "bad value 'wide' for --cell-aspect: a number from 0.25 to 8, a cell's height over its width"},
        UsageErrorCase{
            {"--cell-aspect=0"},
            "bad value '0' for --cell-aspect: a number from 0.25 to 8, a cell's height over its width"},
        UsageErrorCase{
            {"--cell-aspect", "nan"},
            "bad value 'nan' for --cell-aspect: a number from 0.25 to 8, a cell's height over its width"},
        UsageErrorCase{
            {"--cell-aspect", "2x"},
            "bad value '2x' for --cell-aspect: a number from 0.25 to 8, a cell's height over its width"},
        UsageErrorCase{{"--color=yes"}, "bad value 'yes' for --color: always, auto or never"},
        // The value written apart from the option, as other programs take it: the player meant it.
        UsageErrorCase{{"--color", "always"},
                       "--color takes its value only after '=': write --color=always, or ./always for a level "
                       "file of that name"},
        UsageErrorCase{{"a.lvl", "--color", "never", "--fit"},
                       "--color takes its value only after '=': write --color=never, or ./never for a level "
                       "file of that name"},
        UsageErrorCase{
            {"--color", "auto"},
            "--color takes its value only after '=': write --color=auto, or ./auto for a level file "
            "of that name"},
        UsageErrorCase{{"--color="}, "bad value '' for --color: always, auto or never"},
        UsageErrorCase{{"--color-depth"}, "option '--color-depth' needs a value"},
        UsageErrorCase{{"--color-depth", "8"}, "bad value '8' for --color-depth: 16, 256 or 24"},
        UsageErrorCase{{"--color-depth=24bit"}, "bad value '24bit' for --color-depth: 16, 256 or 24"},
        UsageErrorCase{{"--level"}, "option '--level' needs a value"},
        UsageErrorCase{{"--level", "0"}, "bad value '0' for --level: a whole number from 1 to 999"},
        UsageErrorCase{{"--level=1000"}, "bad value '1000' for --level: a whole number from 1 to 999"},
        UsageErrorCase{{"--level", "2.0"}, "bad value '2.0' for --level: a whole number from 1 to 999"},
        UsageErrorCase{{"--level", "+2"}, "bad value '+2' for --level: a whole number from 1 to 999"},
        UsageErrorCase{{"--level", ""}, "bad value '' for --level: a whole number from 1 to 999"},
        UsageErrorCase{{"--record"}, "option '--record' needs a value"},
        UsageErrorCase{{"--record="}, "option '--record' needs a file name"},
        UsageErrorCase{{"--replay", ""}, "option '--replay' needs a file name"},
        UsageErrorCase{{"--config="}, "option '--config' needs a file name"},
        UsageErrorCase{{"--edit", ""}, "option '--edit' needs a file name"},
        UsageErrorCase{{"--bogus=1"}, "unknown option '--bogus=1'"},
        UsageErrorCase{{"--=1"}, "unknown option '--=1'"}, UsageErrorCase{{"-h=1"}, "unknown option '-h=1'"},
        UsageErrorCase{{"--help=me"}, "option '--help' takes no value"},
        UsageErrorCase{{"--record", "a", "--replay", "b"}, "--record and --replay cannot go together"},
        UsageErrorCase{{"--record", "a", "--check", "x.lvl"},
                       "--record records a game, and --check plays none"},
        UsageErrorCase{{"--replay", "a", "--level", "2"},
                       "--level cannot go with --replay: the recording says where its run starts"},
        UsageErrorCase{{"--speed", "2"}, "--speed goes with --replay"},
        UsageErrorCase{{"--replay-any-version"}, "--replay-any-version goes with --replay"},
        UsageErrorCase{{"--replay", "a", "--speed", "0.2"},
                       "bad value '0.2' for --speed: a number from 0.25 to 16"},
        UsageErrorCase{{"--replay", "a", "--speed=17"},
                       "bad value '17' for --speed: a number from 0.25 to 16"},
        UsageErrorCase{{"--replay", "a", "--speed=fast"},
                       "bad value 'fast' for --speed: a number from 0.25 to 16"},
        UsageErrorCase{{"--replay-any-version=yes"}, "option '--replay-any-version' takes no value"},
        UsageErrorCase{{"--color=\x1b[31m"}, "bad value '\\x1b[31m' for --color: always, auto or never"},
        // A control byte typed into an argument is shown, never sent to the terminal.
        UsageErrorCase{{"--\x1b[2J"}, "unknown option '--\\x1b[2J'"}));

TEST(CommandLine, UsageErrorLinePointsToHelp) {
    EXPECT_EQ(usageErrorLine("unknown option '-x'"),
              "brickstorm: unknown option '-x' (see 'brickstorm --help')\n");
}

TEST(CommandLine, HelpNamesEveryOption) {
    const std::string help = usageText();
    for (const char* option :
         {"--fit", "--cell-aspect", "--full-redraw", "--color[=WHEN]", "--color-depth", "--check", "--level",
          "--pack", "--record", "--replay", "--speed", "--replay-any-version", "--help", "--version"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(CommandLine, VersionIsNameAndNumber) { EXPECT_TRUE(versionText().starts_with("brickstorm ")); }

}  // namespace
}  // namespace brickstorm::app
