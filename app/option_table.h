#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

// The program's options, one row each: the one place that says what an option is called, what
// value it takes, what --help says of it, what the configuration file calls it, and what it does
// to the Options. The command line, --help and the configuration file all read this table, so
// none of them can know an option the others do not.
//
// To add an option, add a row (in the order --help lists them):
//
//   {.name = "--view", .value = OptionValue::Required, .valueName = "MODE",
//    .help = "how the 3D view is drawn: shades (the default) or pixels",
//    .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
//        ... set reading.options from value, or return the values it may take ...
//    }},
//
// and, if it needs them, a field in Options and a rule in the command line's conflicts.
namespace brickstorm::app {

// What the options have said so far, which a row changes.
struct OptionsReading {
    Options options;
    Action action = Action::Play;         // ShowHelp or ShowVersion end the reading at once
    bool checkOnly = false;               // --check
    std::vector<std::string_view> given;  // the options given, by name, in order

    bool gave(std::string_view name) const;
};

// How an option takes its value on the command line.
enum class OptionValue : std::uint8_t {
    None,      // --fit: none; in the configuration file a switch, true or false
    Required,  // --level N or --level=N
    FileName,  // --record FILE or --record=FILE, and never an empty name
    Attached,  // --color[=WHEN]: only after '=', since a word after the option is a level file
};

// What a row's value may be when it refuses one ("a number from 0.25 to 16"), or nothing when it
// took the value.
using Refusal = std::optional<std::string>;

struct OptionRow {
    std::string_view name{};   // "--fit"
    std::string_view alias{};  // a short name for the same option ("-h"), or empty
    OptionValue value = OptionValue::None;
    std::string_view valueName{};  // what --help calls the value ("N", "FILE", "WHEN")
    // The value an option given alone stands for: "true" for a switch ("--fit" is "fit = true"),
    // and for an attached value the one it takes without '=' ("--color" is "--color=always").
    std::string_view valueAlone = "true";
    // What --help says of it: lines of at most kOptionHelpWidth characters, broken with '\n'.
    std::string help{};
    std::string_view configName{};  // its name in the configuration file, or empty when it has none
    Refusal (*apply)(OptionsReading& reading, std::string_view value) = nullptr;
};

// The widest line of an option's help, so that --help keeps to 85 columns.
inline constexpr std::size_t kOptionHelpWidth = 64;

// Every option, in the order --help lists them.
std::span<const OptionRow> optionTable();

// The row of the option called `name` (or with that alias) on the command line, if any.
const OptionRow* optionNamed(std::string_view name);

// The row whose configuration file name is `name`, if any.
const OptionRow* settingNamed(std::string_view name);

// The configuration file's names in the table's order ("fit, cell-aspect, ..."), and the names of
// those that are switches ("fit and full-redraw").
std::vector<std::string_view> settingNames();
std::vector<std::string_view> switchSettingNames();

// The names one after another, ", " between them and `beforeLast` (" and ", " or ") before the last.
std::string listed(const std::vector<std::string_view>& names, std::string_view beforeLast);

// The options part of --help: each row's name and value, then its help in a column beside it.
std::string optionsHelpText();

// F of --speed F: how many times as fast as the game a replay may go.
inline constexpr double kSlowestSpeed = 0.25;
inline constexpr double kFastestSpeed = 16.0;

}  // namespace brickstorm::app
