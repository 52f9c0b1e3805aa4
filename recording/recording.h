#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A recorded run: what the game was started with, and the keys that reached the rules at the
// ticks they did, with a hash of the game's state every so often to check a replay against.
namespace brickstorm {

// The version of the format that this program writes. Version 1 named each level file by its
// bytes, so a comment added to a level made its recordings unplayable; version 2 names it by the
// level as played. Both are read.
inline constexpr int kRecordingVersion = 2;
inline constexpr int kOldestRecordingVersion = 1;

// A state line is written after every this many ticks (one second of play).
inline constexpr std::int64_t kStateLineTicks = 20;

// The latest tick a recording may name: over a year and a half of play, and a bound on what a
// check of a damaged or made-up recording can be made to run.
inline constexpr std::int64_t kMostRecordedTicks = 999'999'999;

// The most lines a recording may hold: over a hundred hours of play. A replay keeps every line,
// so this bounds what a recording can make it hold (32 bytes a line).
inline constexpr std::int64_t kMostRecordingLines = 2'000'000;

// One level file the run was played with: its name as given, and enough to tell that it is the
// same level when the run is replayed. From version 2 on that is the level as played, its level
// string (sizes and cells: no comments, no layout), so that a comment written into the file
// later keeps the recording good while a changed cell does not; version 1 took the file's bytes.
struct RecordedLevel {
    std::string name;
    std::int64_t size = 0;   // in bytes
    std::uint64_t hash = 0;  // FNV-1a 64 of those bytes

    friend bool operator==(const RecordedLevel&, const RecordedLevel&) = default;
};

// What the run was started with.
struct RecordingHeader {
    int version = kRecordingVersion;    // of the format: what the levels' sizes and hashes are of
    std::string program;                // the program's version
    std::vector<RecordedLevel> levels;  // the level files in order; none: the built-in levels
    std::int32_t startLevel = 1;

    friend bool operator==(const RecordingHeader&, const RecordingHeader&) = default;
};

// The codes of one key: one, or a prefix and the code that followed it. Kept in place, with no
// memory of their own, since a long recording holds millions of keys.
class KeyCodes {
public:
    KeyCodes() = default;
    KeyCodes(std::initializer_list<int> codes) {
        for (const int code : codes) {
            push_back(code);
        }
    }

    // Codes beyond the second are not kept: no key has more.
    void push_back(int code) {
        if (count_ < codes_.size()) {
            codes_[count_++] = code;
        }
    }
    std::size_t size() const { return count_; }
    int operator[](std::size_t i) const { return codes_[i]; }
    const int* begin() const { return codes_.data(); }
    const int* end() const { return codes_.data() + count_; }

    friend bool operator==(const KeyCodes&, const KeyCodes&) = default;

private:
    std::array<int, 2> codes_{};
    std::uint8_t count_ = 0;
};

// A key that reached the rules: one code, or a prefix and the code that followed it at once.
struct RecordedKey {
    std::int64_t tick = 0;  // the ticks run before it was handled
    KeyCodes codes;

    friend bool operator==(const RecordedKey&, const RecordedKey&) = default;
};

// The state's hash after a tick, before the keys handled after it.
struct RecordedState {
    std::int64_t tick = 0;
    std::uint64_t hash = 0;

    friend bool operator==(const RecordedState&, const RecordedState&) = default;
};

// One line of the run, in the order they were written: 32 bytes and nothing elsewhere, so that
// the longest recording held whole stays within tens of megabytes.
class RecordedEvent {
public:
    enum class Kind : std::uint8_t { Key, State };

    RecordedEvent() = default;
    RecordedEvent(const RecordedKey& key)
        : tick_(key.tick), codes_(key.codes) {}  // NOLINT(google-explicit-constructor)
    RecordedEvent(const RecordedState& state)    // NOLINT(google-explicit-constructor)
        : tick_(state.tick), hash_(state.hash), kind_(Kind::State) {}

    Kind kind() const { return kind_; }
    std::int64_t tick() const { return tick_; }
    RecordedKey key() const { return {tick_, codes_}; }     // with Kind::Key
    RecordedState state() const { return {tick_, hash_}; }  // with Kind::State

    friend bool operator==(const RecordedEvent&, const RecordedEvent&) = default;

private:
    std::int64_t tick_ = 0;
    std::uint64_t hash_ = 0;
    KeyCodes codes_;
    Kind kind_ = Kind::Key;
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordedEvent> events;
    std::optional<std::int64_t> end;  // the tick at which the run ended, when it ended in order

    // The tick that a replay runs to: the end, or else the last line's tick.
    std::int64_t lastTick() const;
};

// The lines that begin a recording, up to and including `start`, each ending in a line break.
std::string recordingHeaderText(const RecordingHeader& header);

// "key TICK CODE..." and a line break; with `named`, the key's name after it as a comment, as in
// "key 26 120  # x", for a person reading the file.
std::string keyLine(const RecordedKey& key, bool named = false);

// The name of a key of the rules as a person types it ("w", "Space", "Right"); empty for a code
// with no name worth showing.
std::string keyName(const KeyCodes& codes);

// "state TICK HASH" and a line break.
std::string stateLine(const RecordedState& state);

// "end TICK" and a line break.
std::string endLine(std::int64_t tick);

// A hash as a recording writes it: 16 lower-case hexadecimal digits.
std::string hashText(std::uint64_t hash);

}  // namespace brickstorm
