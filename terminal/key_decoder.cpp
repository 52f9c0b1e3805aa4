#include "terminal/key_decoder.h"

#include <array>
#include <optional>
#include <string_view>

namespace brickstorm::terminal {

namespace {

constexpr unsigned char kEsc = 27;

// The longest run of parameter bytes kept. Real key sequences need a handful ("15;5"); anything
// longer is noise or an attack on memory, and is swallowed without being stored.
constexpr std::size_t kMaxParameterBytes = 16;

// A number in a sequence is a key or a modifier: anything past this is no key at all.
constexpr int kMaxParameterValue = 999;

// The byte classes of a terminal's control sequences: parameters, then intermediates, then one
// final byte. Anything else (a control byte, DEL, a byte of 128 or more) cannot be part of one.
bool isParameterByte(unsigned char byte) { return byte >= 0x30 && byte <= 0x3F; }
bool isFinalByte(unsigned char byte) {
    // '$' is formally an intermediate, but one terminal family ends its shifted editing keys
    // with it; waiting for another final byte would swallow the next key press.
    return (byte >= 0x40 && byte <= 0x7E) || byte == '$';
}
bool isIntermediateByte(unsigned char byte) { return byte >= 0x20 && byte <= 0x2F && !isFinalByte(byte); }

// One extended key: its prefix and its code alone, with Shift and with Ctrl, as the game's
// console gives them. Shift leaves the editing and arrow keys as they are; a zero means the
// console has no code for that combination and the press is dropped.
struct ExtendedKey {
    int prefix;
    int plain;
    int shifted;
    int withCtrl;
};

constexpr ExtendedKey kUp{kNavigationKeyPrefix, 72, 72, 141};
constexpr ExtendedKey kDown{kNavigationKeyPrefix, 80, 80, 145};
constexpr ExtendedKey kRight{kNavigationKeyPrefix, kRightArrowCode, kRightArrowCode, 116};
constexpr ExtendedKey kLeft{kNavigationKeyPrefix, kLeftArrowCode, kLeftArrowCode, 115};
constexpr ExtendedKey kHome{kNavigationKeyPrefix, 71, 71, 119};
constexpr ExtendedKey kEnd{kNavigationKeyPrefix, 79, 79, 117};
constexpr ExtendedKey kPageUp{kNavigationKeyPrefix, 73, 73, 132};
constexpr ExtendedKey kPageDown{kNavigationKeyPrefix, 81, 81, 118};
constexpr ExtendedKey kInsert{kNavigationKeyPrefix, 82, 82, 146};
constexpr ExtendedKey kDelete{kNavigationKeyPrefix, 83, 83, 147};
constexpr ExtendedKey kF11{kNavigationKeyPrefix, 133, 135, 137};
constexpr ExtendedKey kF12{kNavigationKeyPrefix, 134, 136, 138};
constexpr ExtendedKey kShiftTab{kFunctionKeyPrefix, 15, 0, 0};

// F1 to F10: consecutive codes, with Shift and Ctrl in blocks of their own.
constexpr ExtendedKey functionKey(int number) {
    return {kFunctionKeyPrefix, 58 + number, 83 + number, 93 + number};
}

// The modifier numbers terminals add as a second parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl).
enum class Modifier { None, Shift, Ctrl, Other };

Modifier modifierFromParameter(int value) {
    switch (value) {
    case 1: return Modifier::None;
    case 2: return Modifier::Shift;
    case 5: return Modifier::Ctrl;
    default: return Modifier::Other;
    }
}

void emit(const ExtendedKey& key, Modifier modifier, std::vector<int>& codes) {
    int code = 0;
    switch (modifier) {
    case Modifier::None: code = key.plain; break;
    case Modifier::Shift: code = key.shifted; break;
    case Modifier::Ctrl: code = key.withCtrl; break;
    case Modifier::Other: break;  // Alt and the rest have no console code: the press is dropped
    }
    if (code != 0) {
        codes.push_back(key.prefix);
        codes.push_back(code);
    }
}

// The numbers of a parameter string such as "15;5": at most two, each defaulting to 1 when
// empty. Nothing for anything else (private markers, sub-parameters, too many numbers).
struct Parameters {
    int first = 1;
    int second = 1;
    int count = 0;
};

std::optional<Parameters> parseParameters(std::string_view text) {
    Parameters result;
    if (text.empty()) {
        return result;
    }
    std::array<int, 2> values{1, 1};
    int index = 0;
    int value = -1;  // -1: no digit yet in this field
    for (const char c : text) {
        if (c == ';') {
            if (++index >= static_cast<int>(values.size())) {
                return std::nullopt;
            }
            value = -1;
        } else if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value) * 10 + (c - '0');
            if (value > kMaxParameterValue) {
                return std::nullopt;
            }
            values[static_cast<std::size_t>(index)] = value;
        } else {
            return std::nullopt;
        }
    }
    result.first = values[0];
    result.second = values[1];
    result.count = index + 1;
    return result;
}

// The key of a "number ~" sequence (and its variants ending in ^, $ or @).
const ExtendedKey* tildeKey(int number) {
    static constexpr std::array<ExtendedKey, 10> kFunction{
        functionKey(1), functionKey(2), functionKey(3), functionKey(4), functionKey(5),
        functionKey(6), functionKey(7), functionKey(8), functionKey(9), functionKey(10)};
    switch (number) {
    case 1:
    case 7: return &kHome;
    case 2: return &kInsert;
    case 3: return &kDelete;
    case 4:
    case 8: return &kEnd;
    case 5: return &kPageUp;
    case 6: return &kPageDown;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return &kFunction[static_cast<std::size_t>(number - 11)];
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: return &kFunction[static_cast<std::size_t>(number - 12)];
    case 23: return &kF11;
    case 24: return &kF12;
    default: return nullptr;
    }
}

// The key of a sequence ending in a letter, in either the ESC [ or the ESC O form.
const ExtendedKey* letterKey(unsigned char final) {
    static constexpr std::array<ExtendedKey, 4> kFirstFunctions{functionKey(1), functionKey(2), functionKey(3),
                                                                functionKey(4)};
    switch (final) {
    case 'A': return &kUp;
    case 'B': return &kDown;
    case 'C': return &kRight;
    case 'D': return &kLeft;
    case 'H': return &kHome;
    case 'F': return &kEnd;
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return &kFirstFunctions[static_cast<std::size_t>(final - 'P')];
    default: return nullptr;
    }
}

// An SGR mouse report, "<button;column;line" ending in M (pressed or moved) or m (released),
// the column and line counted from 1: only the left button's press, drag and release mean
// anything; the wheel, the other buttons and moves with no button are dropped.
void decodeMouseReport(std::string_view text, unsigned char final, std::vector<int>& codes) {
    constexpr int kButtonBits = 3;
    constexpr int kMotionBit = 32;
    constexpr int kWheelBit = 64;
    std::array<int, 3> values{};
    std::size_t index = 0;
    text.remove_prefix(1);
    bool digit = false;
    for (const char c : text) {
        if (c == ';' && digit && index + 1 < values.size()) {
            ++index;
            digit = false;
        } else if (c >= '0' && c <= '9' && values[index] <= kMostMouseCell) {
            values[index] = values[index] * 10 + (c - '0');
            digit = true;
        } else {
            return;
        }
    }
    const auto [button, column, line] = values;
    if (index != 2 || !digit || column < 1 || line < 1 || (button & kButtonBits) != 0 ||
        (button & kWheelBit) != 0 || (final != 'M' && final != 'm')) {
        return;
    }
    MouseAction action = MouseAction::Press;
    if (final == 'm') {
        action = MouseAction::Release;
    } else if ((button & kMotionBit) != 0) {
        action = MouseAction::Drag;
    }
    codes.push_back(mouseCode({action, column - 1, line - 1}));
}

void decodeControlSequence(std::string_view parameterText, unsigned char final, std::vector<int>& codes) {
    if (parameterText.starts_with('<')) {
        decodeMouseReport(parameterText, final, codes);
        return;
    }
    const auto parameters = parseParameters(parameterText);
    if (!parameters) {
        return;
    }
    if (final == 'Z' && parameters->count == 0) {
        emit(kShiftTab, Modifier::None, codes);
        return;
    }
    // The editing keys and F5 upward: the key's number, then an optional modifier; one terminal
    // family puts the modifier into the final byte instead.
    Modifier inFinal = Modifier::None;
    switch (final) {
    case '~': inFinal = modifierFromParameter(parameters->second); break;
    case '^': inFinal = Modifier::Ctrl; break;
    case '$': inFinal = Modifier::Shift; break;
    case '@': inFinal = Modifier::Other; break;  // Ctrl+Shift: no console code
    default: {
        // A letter: no number at all, or "1;modifier", or the modifier alone.
        const ExtendedKey* key = letterKey(final);
        if (key == nullptr || (parameters->count == 2 && parameters->first != 1)) {
            return;
        }
        const int modifier = parameters->count == 2 ? parameters->second : parameters->first;
        emit(*key, modifierFromParameter(modifier), codes);
        return;
    }
    }
    if (parameters->count == 0 || (final != '~' && parameters->count != 1)) {
        return;
    }
    if (const ExtendedKey* key = tildeKey(parameters->first)) {
        emit(*key, inFinal, codes);
    }
}

void decodeShiftThree(std::string_view parameterText, unsigned char final, std::vector<int>& codes) {
    // Lower-case arrows: Ctrl with an arrow in one terminal family.
    switch (final) {
    case 'a': emit(kUp, Modifier::Ctrl, codes); return;
    case 'b': emit(kDown, Modifier::Ctrl, codes); return;
    case 'c': emit(kRight, Modifier::Ctrl, codes); return;
    case 'd': emit(kLeft, Modifier::Ctrl, codes); return;
    default: break;
    }
    // Everything else reads like the letter form of ESC [ (keypad keys in application mode
    // have no console code and are dropped here).
    if (letterKey(final) != nullptr) {
        decodeControlSequence(parameterText, final, codes);
    }
}

}  // namespace

std::vector<int> KeyDecoder::feed(unsigned char byte) {
    std::vector<int> codes;
    switch (state_) {
    case State::Ground: startKey(byte, codes); break;
    case State::Escape:
        if (byte == '[' || byte == 'O') {
            state_ = byte == '[' ? State::ControlSeq : State::ShiftThree;
            introducer_ = state_;
            parameters_.clear();
        } else {
            // ESC and then a byte that starts no sequence: the Escape key, then that byte's own
            // key (a quick Escape-then-key, or Alt with a key, which sends the same bytes).
            codes.push_back(kEscapeKey);
            state_ = State::Ground;
            startKey(byte, codes);
        }
        break;
    case State::ControlSeq:
    case State::ShiftThree:
    case State::Discard: collect(byte, codes); break;
    case State::ConsoleFunction:
        if (byte >= 'A' && byte <= 'E') {
            emit(functionKey(byte - 'A' + 1), Modifier::None, codes);
            state_ = State::Ground;
        } else if (isFinalByte(byte) || isParameterByte(byte) || isIntermediateByte(byte)) {
            state_ = State::Ground;  // an unknown sequence, dropped whole
        } else {
            state_ = State::Ground;
            startKey(byte, codes);
        }
        break;
    }
    return codes;
}

std::vector<int> KeyDecoder::flush() {
    std::vector<int> codes;
    if (state_ == State::Escape) {
        codes.push_back(kEscapeKey);
    }
    // Any other unfinished sequence is dropped: its rest, if it ever comes, is too late to tell
    // from new key presses.
    state_ = State::Ground;
    parameters_.clear();
    return codes;
}

void KeyDecoder::startKey(unsigned char byte, std::vector<int>& codes) {
    if (byte == kEsc) {
        state_ = State::Escape;
    } else {
        codes.push_back(byte);
    }
}

void KeyDecoder::collect(unsigned char byte, std::vector<int>& codes) {
    if (isFinalByte(byte)) {
        if (state_ == State::ControlSeq && byte == '[' && parameters_.empty()) {
            state_ = State::ConsoleFunction;
            return;
        }
        if (state_ != State::Discard) {
            if (introducer_ == State::ControlSeq) {
                decodeControlSequence(parameters_, byte, codes);
            } else {
                decodeShiftThree(parameters_, byte, codes);
            }
        }
        state_ = State::Ground;
        parameters_.clear();
        return;
    }
    if (isParameterByte(byte) || isIntermediateByte(byte)) {
        if (state_ != State::Discard) {
            if (parameters_.size() < kMaxParameterBytes) {
                parameters_.push_back(static_cast<char>(byte));
            } else {
                state_ = State::Discard;
                parameters_.clear();
            }
        }
        return;
    }
    // A byte that cannot belong to a sequence breaks it off: the broken part is dropped and the
    // byte is read as the start of the next key, so a lost byte costs one key press, not two.
    state_ = State::Ground;
    parameters_.clear();
    startKey(byte, codes);
}

}  // namespace brickstorm::terminal
