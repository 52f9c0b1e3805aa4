#include "app/option_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "settings/key_bindings.h"
#include "settings/option_values.h"
#include "world/level_file.h"

namespace brickstorm::app {

namespace {

// N of --level N: a whole level number, as the level screen can show it.
std::optional<int> readLevelNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < 1 ||
        value > static_cast<int>(kMostLevelFiles)) {
        return std::nullopt;
    }
    return value;
}

// XxYxZ of --size: three sizes from 1 to 999 whose cells fit the largest level.
std::optional<std::array<std::int32_t, 3>> readLevelSize(std::string_view text) {
    std::array<std::int32_t, 3> sizes{};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto cross = i + 1 < sizes.size() ? text.find('x') : text.size();
        const std::string_view digits = text.substr(0, cross);
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, sizes[i]);
        if (digits.empty() || error != std::errc{} || stop != end || sizes[i] < 1 ||
            sizes[i] > kMaxLevelFileSize || cross == std::string_view::npos || digits.front() == '+') {
            return std::nullopt;
        }
        text.remove_prefix(std::min(cross + 1, text.size()));
    }
    if (std::int64_t{sizes[0]} * sizes[1] * sizes[2] > kMaxLevelCells) {
        return std::nullopt;
    }
    return sizes;
}

// Sets `setting` to what `read` makes of `value`, or says what the value may be.
template <class T, class Reader>
Refusal take(T& setting, std::string_view value, Reader read, std::string_view expected) {
    const auto read_value = read(value);
    if (!read_value) {
        return std::string(expected);
    }
    setting = *read_value;
    return std::nullopt;
}

// A switch: given alone on the command line, or true or false in the configuration file.
Refusal takeSwitch(bool& setting, std::string_view value) {
    return take(setting, value, settings::readSwitch, settings::kSwitchValues);
}

std::vector<OptionRow> makeTable() {
    using settings::numberText;
    return {
        {.name = "--fit",
         .help = "fit the picture to the window even when the window could hold\n"
                 "the full 90 x 60 picture",
         .configName = "fit",
         .apply = [](OptionsReading& reading,
                     std::string_view value) { return takeSwitch(reading.options.fit, value); }},
        {.name = "--cell-aspect",
         .value = OptionValue::Required,
         .valueName = "R",
         .help = "a terminal cell's height over its width (for example 2 for an\n"
                 "ordinary font, 1 for a square one); by default the terminal's\n"
                 "own report, or 2. The full 90 x 60 picture is made for square\n"
                 "cells and shown only on them; on any other shape the picture\n"
                 "is fitted to the window, so that cubes look like cubes",
         .configName = "cell-aspect",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.cellAspect = settings::readCellAspect(value);
             if (!reading.options.cellAspect) {
                 return settings::cellAspectValues();
             }
             return std::nullopt;
         }},
        {.name = "--full-redraw",
         .help = "send every frame whole instead of only the cells that changed",
         .configName = "full-redraw",
         .apply = [](OptionsReading& reading,
                     std::string_view value) { return takeSwitch(reading.options.fullRedraw, value); }},
        {.name = "--color",
         .value = OptionValue::Attached,
         .valueName = "WHEN",
         .valueAlone = "always",
         .help = "colour the 3D view: WHEN is always (the same as --color alone),\n"
                 "auto (when standard output is a terminal, TERM is not dumb and\n"
                 "NO_COLOR is unset or empty) or never (the default)",
         .configName = "color",
         .apply =
             [](OptionsReading& reading, std::string_view value) {
                 return take(reading.options.colour, value, settings::readColourWhen,
                             settings::kColourWhenValues);
             }},
        {.name = "--color-depth",
         .value = OptionValue::Required,
         .valueName = "N",
         .help = "16, 256 or 24 (24-bit) colours, instead of what COLORTERM and\n"
                 "TERM name",
         .configName = "color-depth",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.colourDepth = settings::readColourDepth(value);
             if (!reading.options.colourDepth) {
                 return std::string(settings::kColourDepthValues);
             }
             return std::nullopt;
         }},
        {.name = "--check",
         .help = "check the level files and print a line about each; do not play.\n"
                 "With --replay: replay without the terminal, as fast as it\n"
                 "goes, check every recorded state, and print a line for each\n"
                 "attempt at a level and a total",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.checkOnly = true;
             return std::nullopt;
         }},
        {.name = "--edit",
         .value = OptionValue::FileName,
         .valueName = "FILE",
         .help = "open FILE in the level editor (a new level if it does not exist)",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.editFile = std::string(value);
             return std::nullopt;
         }},
        {.name = "--size",
         .value = OptionValue::Required,
         .valueName = "XxYxZ",
         .help = "the size of that new level (default 16x8x16): a floor, the start\n"
                 "and the exit, so that it can be played at once",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.newLevelSize = readLevelSize(value);
             if (!reading.options.newLevelSize) {
                 return "XxYxZ, each from 1 to " + std::to_string(kMaxLevelFileSize) + ", at most " +
                        std::to_string(kMaxLevelCells) + " cells in all";
             }
             return std::nullopt;
         }},
        {.name = "--pack",
         .help = "the level files of the pack that comes with the game, in order,\n"
                 "where the option stands among the level files",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.options.packPlaces.push_back(reading.options.levelFiles.size());
             return std::nullopt;
         }},
        {.name = "--level",
         .value = OptionValue::Required,
         .valueName = "N",
         .help = "start at level N (1 to " + std::to_string(kMostLevelFiles) +
                 ", at most the number of level files);\nafter the closing screen the game starts again there",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             const auto number = readLevelNumber(value);
             if (!number) {
                 return "a whole number from 1 to " + std::to_string(kMostLevelFiles);
             }
             reading.options.startLevel = *number;
             return std::nullopt;
         }},
        {.name = "--config",
         .value = OptionValue::FileName,
         .valueName = "FILE",
         .help = "read the settings from FILE instead of the usual configuration\n"
                 "file (below)",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.configFile = std::string(value);
             return std::nullopt;
         }},
        {.name = "--no-config",
         .help = "read no configuration file",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.options.noConfig = true;
             return std::nullopt;
         }},
        {.name = "--keys",
         .value = OptionValue::Required,
         .valueName = "LAYOUT",
         .help = "the keys of a keyboard layout: qwerty (w a s d, the game's own)\n"
                 "or azerty (z q s d in their place)",
         .configName = "keys",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             const auto layout = settings::keyLayoutNamed(value);
             if (!layout) {
                 return std::string(settings::kKeyLayoutValues);
             }
             reading.options.keys = settings::KeyBindings::forLayout(*layout);
             return std::nullopt;
         }},
        {.name = "--continue",
         .help = "start at the highest level reached before with these levels",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.options.continueGame = true;
             return std::nullopt;
         }},
        {.name = "--no-state",
         .help = "neither read nor write the progress kept between games",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.options.noState = true;
             return std::nullopt;
         }},
        {.name = "--record",
         .value = OptionValue::FileName,
         .valueName = "FILE",
         .help = "write the run to FILE as it is played (an existing FILE is\n"
                 "replaced); everything up to the last second is kept whatever\n"
                 "ends the program",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.recordFile = std::string(value);
             return std::nullopt;
         }},
        {.name = "--replay",
         .value = OptionValue::FileName,
         .valueName = "FILE",
         .help = "play the run recorded in FILE back, tick for tick: Space\n"
                 "pauses and resumes, Ctrl+C ends it, and after its last tick\n"
                 "any key. Level files given stand in for the recorded ones",
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             reading.options.replayFile = std::string(value);
             return std::nullopt;
         }},
        {.name = "--speed",
         .value = OptionValue::Required,
         .valueName = "F",
         .help = "replay F times as fast: " + numberText(kSlowestSpeed) + " to " + numberText(kFastestSpeed),
         .apply = [](OptionsReading& reading, std::string_view value) -> Refusal {
             const auto speed = settings::readDecimal(value, kSlowestSpeed, kFastestSpeed);
             if (!speed) {
                 return "a number from " + settings::numberText(kSlowestSpeed) + " to " +
                        settings::numberText(kFastestSpeed);
             }
             reading.options.speed = *speed;
             return std::nullopt;
         }},
        {.name = "--replay-any-version",
         .help = "replay a recording made by another version of the game",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.options.replayAnyVersion = true;
             return std::nullopt;
         }},
        {.name = "--help",
         .alias = "-h",
         .help = "show this help and exit",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.action = Action::ShowHelp;
             return std::nullopt;
         }},
        {.name = "--version",
         .help = "show the version and exit",
         .apply = [](OptionsReading& reading, std::string_view) -> Refusal {
             reading.action = Action::ShowVersion;
             return std::nullopt;
         }},
    };
}

// Where each option's help begins: after two blanks, its name and value, and two blanks at least.
constexpr std::size_t kHelpColumn = 21;

// "--cell-aspect R", "--color[=WHEN]", "-h, --help".
std::string nameAndValue(const OptionRow& row) {
    std::string text =
        row.alias.empty() ? std::string(row.name) : std::string(row.alias) + ", " + std::string(row.name);
    switch (row.value) {
    case OptionValue::None: break;
    case OptionValue::Required:
    case OptionValue::FileName: text += " " + std::string(row.valueName); break;
    case OptionValue::Attached: text += "[=" + std::string(row.valueName) + "]"; break;
    }
    return text;
}

}  // namespace

bool OptionsReading::gave(std::string_view name) const {
    return std::find(given.begin(), given.end(), name) != given.end();
}

std::span<const OptionRow> optionTable() {
    static const std::vector<OptionRow> table = makeTable();
    return table;
}

const OptionRow* optionNamed(std::string_view name) {
    for (const OptionRow& row : optionTable()) {
        if (row.name == name || (!row.alias.empty() && row.alias == name)) {
            return &row;
        }
    }
    return nullptr;
}

const OptionRow* settingNamed(std::string_view name) {
    for (const OptionRow& row : optionTable()) {
        if (!row.configName.empty() && row.configName == name) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<std::string_view> settingNames() {
    std::vector<std::string_view> names;
    for (const OptionRow& row : optionTable()) {
        if (!row.configName.empty()) {
            names.push_back(row.configName);
        }
    }
    return names;
}

std::vector<std::string_view> switchSettingNames() {
    std::vector<std::string_view> names;
    for (const OptionRow& row : optionTable()) {
        if (!row.configName.empty() && row.value == OptionValue::None) {
            names.push_back(row.configName);
        }
    }
    return names;
}

std::string listed(const std::vector<std::string_view>& names, std::string_view beforeLast) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? beforeLast : std::string_view(", ");
        }
        text += names[i];
    }
    return text;
}

std::string optionsHelpText() {
    std::string text;
    for (const OptionRow& row : optionTable()) {
        std::string left = "  " + nameAndValue(row);
        if (left.size() + 2 > kHelpColumn) {
            left += "\n";
            left.resize(left.size() + kHelpColumn, ' ');
        } else {
            left.resize(kHelpColumn, ' ');
        }
        text += left;
        for (const char c : row.help) {
            text += c;
            if (c == '\n') {
                text.append(kHelpColumn, ' ');
            }
        }
        text += '\n';
    }
    return text;
}

}  // namespace brickstorm::app
