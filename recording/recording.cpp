#include "recording/recording.h"

#include <array>

#include "core/key_codes.h"
#include "world/display_text.h"

namespace brickstorm {

std::int64_t Recording::lastTick() const {
    if (end) {
        return *end;
    }
    return events.empty() ? 0 : events.back().tick();
}

std::string hashText(std::uint64_t hash) {
    static constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text(16, '0');
    for (std::size_t digit = text.size(); digit > 0; --digit) {
        text[digit - 1] = kDigits[hash & 0xfU];
        hash >>= 4U;
    }
    return text;
}

std::string recordingHeaderText(const RecordingHeader& header) {
    std::string text = "brickstorm-recording " + std::to_string(header.version) + "\n";
    text += "program " + escapedForDisplay(header.program) + "\n";
    if (header.levels.empty()) {
        text += "levels built-in\n";
    }
    for (std::size_t i = 0; i < header.levels.size(); ++i) {
        const RecordedLevel& level = header.levels[i];
        // The name as messages show it: a name cannot break the line, and reads back exactly.
        text += "level " + std::to_string(i + 1) + " " + escapedForDisplay(level.name) + " " +
                std::to_string(level.size) + " " + hashText(level.hash) + "\n";
    }
    text += "start " + std::to_string(header.startLevel) + "\n";
    return text;
}

std::string keyLine(const RecordedKey& key, bool named) {
    std::string line = "key " + std::to_string(key.tick);
    for (const int code : key.codes) {
        line += " " + std::to_string(code);
    }
    if (const std::string name = keyName(key.codes); named && !name.empty()) {
        line += "  # " + name;
    }
    return line + "\n";
}

std::string keyName(const KeyCodes& codes) {
    constexpr int kSpace = ' ';
    constexpr int kLastPrintable = '~';
    constexpr int kCtrlZ = 26;
    constexpr int kUpArrowCode = 72;
    constexpr int kDownArrowCode = 80;
    if (codes.size() == 2) {
        switch (codes[1]) {
        case kUpArrowCode: return "Up";
        case kDownArrowCode: return "Down";
        case kLeftArrowCode: return "Left";
        case kRightArrowCode: return "Right";
        default: return {};
        }
    }
    if (codes.size() != 1) {
        return {};
    }
    const int code = codes[0];
    if (code == kSpace) {
        return "Space";
    }
    if (code > kSpace && code <= kLastPrintable) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 1 && code <= kCtrlZ) {
        return std::string("Ctrl+") + static_cast<char>('A' + code - 1);
    }
    return {};
}

std::string stateLine(const RecordedState& state) {
    return "state " + std::to_string(state.tick) + " " + hashText(state.hash) + "\n";
}

std::string endLine(std::int64_t tick) { return "end " + std::to_string(tick) + "\n"; }

}  // namespace brickstorm
