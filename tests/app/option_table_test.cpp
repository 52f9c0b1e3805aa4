// The one table of options against what it drives: the command line, --help and the
// configuration file must know the same options, so that none can drift from the others.
#include "app/option_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/config_reading.h"

namespace brickstorm::app {
namespace {

// A good value for each option that takes one. A new option with a value needs one here: the
// tests below then check it on the command line and, if it has one, in the configuration file.
const std::map<std::string_view, std::string_view> kGoodValues = {
    {"--cell-aspect", "1.5"}, {"--color", "auto"},     {"--color-depth", "256"}, {"--edit", "a.lvl"},
    {"--size", "4x4x4"},      {"--level", "2"},        {"--config", "a.conf"},   {"--keys", "azerty"},
    {"--record", "run.rec"},  {"--replay", "run.rec"}, {"--speed", "2"},
};

std::string_view goodValue(const OptionRow& row) {
    const auto found = kGoodValues.find(row.name);
    return found == kGoodValues.end() ? std::string_view() : found->second;
}

// The part of --help between "Options:" and the blank line after it.
std::vector<std::string> optionLinesOfHelp() {
    const std::string help = usageText();
    const auto start = help.find("Options:\n") + 9;
    std::istringstream lines(help.substr(start, help.find("\n\n", start) - start));
    std::vector<std::string> found;
    for (std::string line; std::getline(lines, line);) {
        found.push_back(line);
    }
    return found;
}

TEST(OptionTable, NamesAreUniqueAndEveryRowDoesSomething) {
    std::set<std::string_view> names;
    std::set<std::string_view> settings;
    for (const OptionRow& row : optionTable()) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(row.name.starts_with("--"));
        EXPECT_TRUE(names.insert(row.name).second);
        if (!row.alias.empty()) {
            EXPECT_TRUE(names.insert(row.alias).second);
        }
        if (!row.configName.empty()) {
            EXPECT_TRUE(settings.insert(row.configName).second);
            EXPECT_EQ("--" + std::string(row.configName), row.name) << "a setting is its long option's name";
        }
        EXPECT_NE(row.apply, nullptr);
        EXPECT_FALSE(row.help.empty());
        EXPECT_EQ(row.value == OptionValue::None, row.valueName.empty());
        EXPECT_EQ(row.value != OptionValue::None, !goodValue(row).empty())
            << "a value to test it with is missing above";
    }
}

TEST(OptionTable, HelpListsEveryRowAndNothingElse) {
    std::vector<std::string> named;
    for (const std::string& line : optionLinesOfHelp()) {
        if (line.starts_with("  -")) {
            named.push_back(line.substr(2, line.find("  ", 2) - 2));
        }
    }
    std::vector<std::string> rows;
    for (const OptionRow& row : optionTable()) {
        std::string name =
            row.alias.empty() ? std::string(row.name) : std::string(row.alias) + ", " + std::string(row.name);
        if (row.value == OptionValue::Attached) {
            name += "[=" + std::string(row.valueName) + "]";
        } else if (row.value != OptionValue::None) {
            name += " " + std::string(row.valueName);
        }
        rows.push_back(name);
    }
    EXPECT_EQ(named, rows);
}

TEST(OptionTable, HelpKeepsTo85Columns) {
    std::istringstream lines(usageText());
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 85U) << line;
    }
    for (const OptionRow& row : optionTable()) {
        std::istringstream helpLines(row.help);
        for (std::string line; std::getline(helpLines, line);) {
            EXPECT_LE(line.size(), kOptionHelpWidth) << row.name << ": " << line;
        }
    }
}

TEST(OptionTable, TheCommandLineTakesEveryRow) {
    for (const OptionRow& row : optionTable()) {
        SCOPED_TRACE(row.name);
        const std::string attached = std::string(row.name) + "=" + std::string(goodValue(row));
        std::vector<std::string_view> arguments{row.value == OptionValue::Attached ? attached : row.name};
        if (row.value != OptionValue::None && row.value != OptionValue::Attached) {
            arguments.push_back(goodValue(row));
        }
        if (row.name == "--size") {
            arguments.insert(arguments.end(), {"--edit", "a.lvl"});
        } else if (row.name == "--speed" || row.name == "--replay-any-version") {
            arguments.insert(arguments.end(), {"--replay", "run.rec"});
        } else if (row.name == "--check" || row.name == "--pack") {
            arguments.emplace_back("--pack");
        }
        const CommandLine line = parseCommandLine(arguments);
        EXPECT_NE(line.action, Action::UsageError) << line.error;
        if (!row.alias.empty()) {
            EXPECT_EQ(parseCommandLine(std::vector<std::string_view>{row.alias}).action, line.action);
        }
    }
}

// `name = value` in the file does what --name=value does on the command line (a switch's true what
// the option alone does), and every setting is named in --help and in the message for an unknown
// one.
TEST(OptionTable, TheFileTakesEverySettingAsTheCommandLineDoes) {
    const std::string help = usageText();
    const auto unknown = configOptions("no-such-setting = 1\n");
    ASSERT_TRUE(std::holds_alternative<settings::ConfigProblem>(unknown));
    const std::string unknownMessage = std::get<settings::ConfigProblem>(unknown).what;
    std::vector<std::string_view> names;
    for (const OptionRow& row : optionTable()) {
        if (row.configName.empty()) {
            continue;
        }
        SCOPED_TRACE(row.name);
        const std::string_view given = row.value == OptionValue::None ? "true" : goodValue(row);
        const auto file = configOptions(std::string(row.configName) + " = " + std::string(given) + "\n");
        ASSERT_TRUE(std::holds_alternative<Options>(file)) << std::get<settings::ConfigProblem>(file).what;
        const std::string argument = row.value == OptionValue::None
                                         ? std::string(row.name)
                                         : std::string(row.name) + "=" + std::string(given);
        const CommandLine line = parseCommandLine(std::vector<std::string_view>{argument});
        ASSERT_EQ(line.action, Action::Play) << line.error;
        const Options& fromFile = std::get<Options>(file);
        EXPECT_EQ(fromFile.fit, line.options.fit);
        EXPECT_EQ(fromFile.cellAspect, line.options.cellAspect);
        EXPECT_EQ(fromFile.fullRedraw, line.options.fullRedraw);
        EXPECT_EQ(fromFile.colour, line.options.colour);
        EXPECT_EQ(fromFile.colourDepth, line.options.colourDepth);
        EXPECT_EQ(fromFile.keys, line.options.keys);
        names.emplace_back(row.configName);
    }
    // The file's names are the table's settings, all of them, in --help and in the message for an
    // unknown one.
    ASSERT_FALSE(names.empty());
    std::string everyName;
    for (const std::string_view name : names) {
        everyName += (everyName.empty() ? "" : ", ") + std::string(name);
    }
    EXPECT_EQ(unknownMessage, "unknown setting 'no-such-setting': " + everyName + " or key ACTION");
    std::string helpOnOneLine = help;
    std::replace(helpOnOneLine.begin(), helpOnOneLine.end(), '\n', ' ');
    EXPECT_NE(helpOnOneLine.find("without its dashes (" + everyName + ")"), std::string::npos) << help;
    // Options without a name in the file are refused there.
    for (const char* commandLineOnly : {"check", "level", "record", "speed"}) {
        EXPECT_TRUE(std::holds_alternative<settings::ConfigProblem>(
            configOptions(std::string(commandLineOnly) + " = 1\n")))
            << commandLineOnly;
    }
}

TEST(OptionTable, SettingsAndSwitchesAsTheHelpNamesThem) {
    EXPECT_EQ(listed(settingNames(), ", "), "fit, cell-aspect, full-redraw, color, color-depth, keys");
    EXPECT_EQ(listed(switchSettingNames(), " and "), "fit and full-redraw");
    EXPECT_EQ(listed({"a"}, " or "), "a");
    EXPECT_EQ(listed({}, " or "), "");
}

}  // namespace
}  // namespace brickstorm::app
