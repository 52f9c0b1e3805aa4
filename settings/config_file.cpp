#include "settings/config_file.h"

#include <algorithm>
#include <array>
#include <utility>

#include "world/display_text.h"

namespace brickstorm::settings {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kKeyWord = "key";

constexpr std::string_view kActionNames =
    "forward, back, turn-left, turn-right, step-left, step-right, climb or shoot";
constexpr std::string_view kKeyValues = "one printable character, or space, left, right, up or down";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// What the lines have said so far.
struct Reading {
    const SettingTaker& take;
    ConfigKeyLines keyLines{};
};

// `key ACTION = VALUE`, with `rest` what follows the word "key".
std::optional<std::string> takeKey(Reading& reading, std::string_view rest, std::string_view value, int line) {
    const std::string_view name = trimmed(rest);
    if (name.empty()) {
        return "'key' needs an action: key ACTION = KEY, the action one of " + std::string(kActionNames);
    }
    const auto action = actionNamed(name);
    if (!action) {
        return "unknown action " + quotedForDisplay(name) + ": " + std::string(kActionNames);
    }
    const auto key = keyNamed(value);
    if (!key) {
        return "bad key " + quotedForDisplay(value) + " for " + std::string(name) + ": " +
               std::string(kKeyValues);
    }
    reading.keyLines[static_cast<std::size_t>(*action)] = KeyLine{*key, line};
    return std::nullopt;
}

// One `name = value` line.
std::optional<std::string> takeSetting(Reading& reading, std::string_view name, std::string_view value,
                                       int line) {
    if (name.starts_with(kKeyWord) &&
        (name.size() == kKeyWord.size() || kBlanks.find(name[kKeyWord.size()]) != std::string_view::npos)) {
        return takeKey(reading, name.substr(kKeyWord.size()), value, line);
    }
    return reading.take(name, value);
}

// Reads one line; the message for a mistake in it.
std::optional<std::string> takeLine(Reading& reading, std::string_view text, int line) {
    const std::string_view content = trimmed(text);
    if (content.empty() || content.starts_with('#')) {
        return std::nullopt;
    }
    const auto equals = content.find('=');
    if (equals == std::string_view::npos) {
        return "no '=' in " + quotedForDisplay(content) + ": a setting is written name = value";
    }
    const std::string_view name = trimmed(content.substr(0, equals));
    if (name.empty()) {
        return std::string("no name before '='");
    }
    return takeSetting(reading, name, trimmed(content.substr(equals + 1)), line);
}

}  // namespace

bool anyKeyLine(const ConfigKeyLines& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const auto& keyLine) { return keyLine.has_value(); });
}

std::variant<KeyBindings, ConfigProblem> boundKeys(const KeyBindings& start, const ConfigKeyLines& lines) {
    KeyBindings bindings = start;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (const auto& keyLine = lines[i]) {
            bindings.bind(static_cast<Action>(i), keyLine->key);
        }
    }
    std::optional<ConfigProblem> first;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const auto& keyLine = lines[i];
        const auto other = bindings.sharingKeyWith(action);
        if (!keyLine || !other) {
            continue;
        }
        const auto& otherLine = lines[static_cast<std::size_t>(*other)];
        if (otherLine && otherLine->line > keyLine->line) {
            continue;  // told on the other's line
        }
        std::string what = quotedForDisplay(keyValueText(keyLine->key));
        what += " is already the key for ";
        what += actionName(*other);
        if (otherLine) {
            what += ", on line " + std::to_string(otherLine->line);
        } else {
            what += ": give ";
            what += actionName(*other);
            what += " another key too";
        }
        ConfigProblem problem{keyLine->line, std::move(what)};
        if (!first || problem.line < first->line) {
            first = std::move(problem);
        }
    }
    if (first) {
        return *first;
    }
    return bindings;
}

std::variant<ConfigKeyLines, ConfigProblem> readConfigText(std::string_view text, const SettingTaker& take) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());  // as some editors save a UTF-8 file
    }
    Reading reading{take};
    int line = 0;
    while (!text.empty()) {
        ++line;
        const auto end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (content.ends_with('\r')) {
            content.remove_suffix(1);
        }
        if (auto problem = takeLine(reading, content, line)) {
            return ConfigProblem{line, std::move(*problem)};
        }
    }
    return reading.keyLines;
}

}  // namespace brickstorm::settings
