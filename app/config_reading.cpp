#include "app/config_reading.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <variant>

#include "app/option_table.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

CommandLine settingsError(std::string message) {
    CommandLine line;
    line.action = Action::SettingsError;
    line.error = std::move(message);
    return line;
}

// "brickstorm: FILE: what" and a line break: a mistake with the file as a whole.
std::string fileProblemLine(const std::string& file, std::string_view what) {
    return "brickstorm: " + escapedForDisplay(file) + ": " + std::string(what) + "\n";
}

// The text of the file, or what stops it from being read. A file that is not there counts as
// empty unless it was named on the command line: the usual file is for those who want one.
std::variant<std::string, CommandLine> configText(const std::string& file, bool named,
                                                  const FileReader& read) {
    std::string text;
    const platform::FileReadResult result = read(file, [&text](std::string_view piece) {
        text += piece;
        return text.size() <= settings::kMaxConfigFileBytes;
    });
    switch (result.status) {
    case platform::FileReadStatus::Read: return text;
    case platform::FileReadStatus::Missing:
        if (!named) {
            return std::string();
        }
        return settingsError(fileProblemLine(file, "no such file"));
    case platform::FileReadStatus::Directory:
        return settingsError(fileProblemLine(file, "a directory, not a configuration file"));
    case platform::FileReadStatus::Unreadable:
        return settingsError(fileProblemLine(file, "cannot be read: " + escapedForDisplay(result.reason)));
    case platform::FileReadStatus::Stopped: break;
    }
    return settingsError(fileProblemLine(file, "bigger than " + std::to_string(settings::kMaxConfigFileBytes) +
                                                   " bytes, too big for a configuration file"));
}

}  // namespace

std::string usualConfigFile(const std::string& settingsFolder) {
    if (settingsFolder.empty()) {
        return {};
    }
    return (std::filesystem::path(settingsFolder) / kConfigFileName).string();
}

CommandLine readSettings(std::span<const std::string_view> arguments, const std::string& usualConfig,
                         const FileReader& read) {
    CommandLine line = parseCommandLine(arguments);
    if (line.action != Action::Play || line.options.noConfig) {
        return line;
    }
    const bool named = line.options.configFile.has_value();
    const std::string file = line.options.configFile.value_or(usualConfig);
    if (file.empty()) {
        return line;
    }
    auto text = configText(file, named, read);
    if (auto* problem = std::get_if<CommandLine>(&text)) {
        return std::move(*problem);
    }
    auto options = configOptions(std::get<std::string>(text));
    if (const auto* problem = std::get_if<settings::ConfigProblem>(&options)) {
        return settingsError(configProblemLine(file, *problem));
    }
    return parseCommandLine(arguments, std::get<Options>(options));
}

std::variant<Options, settings::ConfigProblem> configOptions(std::string_view text) {
    OptionsReading reading;
    const auto take = [&reading](std::string_view name, std::string_view value) -> std::optional<std::string> {
        const OptionRow* row = settingNamed(name);
        if (row == nullptr) {
            return "unknown setting " + quotedForDisplay(name) + ": " + listed(settingNames(), ", ") +
                   " or key ACTION";
        }
        if (const Refusal refusal = row->apply(reading, value)) {
            return "bad value " + quotedForDisplay(value) + " for " + std::string(name) + ": " + *refusal;
        }
        return std::nullopt;
    };
    auto keyLines = settings::readConfigText(text, take);
    if (auto* problem = std::get_if<settings::ConfigProblem>(&keyLines)) {
        return std::move(*problem);
    }
    const auto& lines = std::get<settings::ConfigKeyLines>(keyLines);
    if (settings::anyKeyLine(lines)) {
        auto keys = settings::boundKeys(reading.options.keys, lines);
        if (auto* problem = std::get_if<settings::ConfigProblem>(&keys)) {
            return std::move(*problem);
        }
        reading.options.keys = std::get<settings::KeyBindings>(keys);
    }
    return std::move(reading.options);
}

std::string configProblemLine(const std::string& file, const settings::ConfigProblem& problem) {
    return "brickstorm: " + escapedForDisplay(file) + ":" + std::to_string(problem.line) + ": " +
           problem.what + "\n";
}

}  // namespace brickstorm::app
