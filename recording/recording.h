#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A recorded run: what the game was started with, and the keys that reached the rules at the
// ticks they did, with a hash of the game's state every so often to check a replay against.
namespace brickstorm {

// The version of the format that this program writes and reads.
inline constexpr int kRecordingVersion = 1;

// A state line is written after every this many ticks (one second of play).
inline constexpr std::int64_t kStateLineTicks = 20;

// The latest tick a recording may name: over a year and a half of play, and a bound on what a
// check of a damaged or made-up recording can be made to run.
inline constexpr std::int64_t kMostRecordedTicks = 999'999'999;

// One level file the run was played with: its name as given, and enough to tell that it is the
// same file when the run is replayed.
struct RecordedLevel {
    std::string name;
    std::int64_t size = 0;   // in bytes
    std::uint64_t hash = 0;  // FNV-1a 64 of its bytes

    friend bool operator==(const RecordedLevel&, const RecordedLevel&) = default;
};

// What the run was started with.
struct RecordingHeader {
    std::string program;                // the program's version
    std::vector<RecordedLevel> levels;  // the level files in order; none: the built-in levels
    std::int32_t startLevel = 1;

    friend bool operator==(const RecordingHeader&, const RecordingHeader&) = default;
};

// A key that reached the rules: one code, or a prefix and the code that followed it at once.
struct RecordedKey {
    std::int64_t tick = 0;  // the ticks run before it was handled
    std::vector<int> codes;

    friend bool operator==(const RecordedKey&, const RecordedKey&) = default;
};

// The state's hash after a tick, before the keys handled after it.
struct RecordedState {
    std::int64_t tick = 0;
    std::uint64_t hash = 0;

    friend bool operator==(const RecordedState&, const RecordedState&) = default;
};

// One line of the run, in the order they were written.
struct RecordedEvent {
    enum class Kind { Key, State };
    Kind kind = Kind::Key;
    RecordedKey key;      // with Kind::Key
    RecordedState state;  // with Kind::State

    std::int64_t tick() const { return kind == Kind::Key ? key.tick : state.tick; }
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

// "key TICK CODE..." and a line break.
std::string keyLine(const RecordedKey& key);

// "state TICK HASH" and a line break.
std::string stateLine(const RecordedState& state);

// "end TICK" and a line break.
std::string endLine(std::int64_t tick);

// A hash as a recording writes it: 16 lower-case hexadecimal digits.
std::string hashText(std::uint64_t hash);

}  // namespace brickstorm
