#include "settings/config_file.h"

#include <algorithm>
#include <array>
#include <utility>

#include "settings/option_values.h"
#include "world/display_text.h"

namespace brickstorm::settings {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kKeyWord = "key";

constexpr std::string_view kNames = "fit, cell-aspect, full-redraw, color, color-depth, keys or key ACTION";
constexpr std::string_view kActionNames =
    "forward, back, turn-left, turn-right, step-left, step-right, climb or shoot";
constexpr std::string_view kKeyValues = "one printable character, or space, left, right, up or down";
constexpr std::string_view kLayoutValues = "qwerty or azerty";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string badValue(std::string_view value, std::string_view name, std::string_view expected) {
    return "bad value " + quotedForDisplay(value) + " for " + std::string(name) + ": " + std::string(expected);
}

// A line that binds a key, where it was, so that a clash can name both lines.
struct KeyLine {
    Key key;
    int line = 0;
};

// What the lines have said so far.
struct Reading {
    ConfigSettings settings;
    std::optional<KeyLayout> layout;
    std::array<std::optional<KeyLine>, kActionCount> keyLines{};
};

// Reads `value` with `read` into `setting`; the message for a bad one otherwise.
template <class T, class Reader>
std::optional<std::string> take(std::optional<T>& setting, std::string_view name, std::string_view value,
                                Reader read, std::string_view expected) {
    setting = read(value);
    if (!setting) {
        return badValue(value, name, expected);
    }
    return std::nullopt;
}

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
    ConfigSettings& settings = reading.settings;
    if (name.starts_with(kKeyWord) &&
        (name.size() == kKeyWord.size() || kBlanks.find(name[kKeyWord.size()]) != std::string_view::npos)) {
        return takeKey(reading, name.substr(kKeyWord.size()), value, line);
    }
    if (name == "fit") {
        return take(settings.fit, name, value, readSwitch, kSwitchValues);
    }
    if (name == "full-redraw") {
        return take(settings.fullRedraw, name, value, readSwitch, kSwitchValues);
    }
    if (name == "cell-aspect") {
        return take(settings.cellAspect, name, value, readCellAspect, cellAspectValues());
    }
    if (name == "color") {
        return take(settings.colour, name, value, readColourWhen, kColourWhenValues);
    }
    if (name == "color-depth") {
        return take(settings.colourDepth, name, value, readColourDepth, kColourDepthValues);
    }
    if (name == "keys") {
        return take(reading.layout, name, value, keyLayoutNamed, kLayoutValues);
    }
    return "unknown setting " + quotedForDisplay(name) + ": " + std::string(kNames);
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

// The keys the file gives: its layout, or the game's own keys, with its key lines on top. Two
// actions on one key are a mistake, told on the line of the key that came last.
std::variant<KeyBindings, ConfigProblem> boundKeys(const Reading& reading) {
    KeyBindings bindings = KeyBindings::forLayout(reading.layout.value_or(KeyLayout::Qwerty));
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (const auto& keyLine = reading.keyLines[i]) {
            bindings.bind(static_cast<Action>(i), keyLine->key);
        }
    }
    std::optional<ConfigProblem> first;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const auto& keyLine = reading.keyLines[i];
        const auto other = bindings.sharingKeyWith(action);
        if (!keyLine || !other) {
            continue;
        }
        const auto& otherLine = reading.keyLines[static_cast<std::size_t>(*other)];
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

}  // namespace

ConfigResult readConfigText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());  // as some editors save a UTF-8 file
    }
    Reading reading;
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
    const bool keysGiven =
        reading.layout || std::any_of(reading.keyLines.begin(), reading.keyLines.end(),
                                      [](const auto& keyLine) { return keyLine.has_value(); });
    if (keysGiven) {
        auto keys = boundKeys(reading);
        if (auto* problem = std::get_if<ConfigProblem>(&keys)) {
            return std::move(*problem);
        }
        reading.settings.keys = std::get<KeyBindings>(keys);
    }
    return reading.settings;
}

}  // namespace brickstorm::settings
