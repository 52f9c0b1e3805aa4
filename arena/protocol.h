#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The protocol between a match's server and its clients: lines of printable ASCII, each ending
// in a line feed, words separated by one space. A client joins, sends its keys and may leave;
// the server answers the join, then sends one frame per tick with what that client needs to
// draw its own view, and says goodbye when it drops the client or ends. Nothing here knows of
// sockets: the server and the client read and write bytes through the readers and encoders
// below, and the manual page documents the same lines.
namespace brickstorm {

// The protocol's version: a client and a server of different versions refuse each other, naming
// both. A later version must keep the join line's first two words, so that any server can read
// the version of any client.
inline constexpr std::int32_t kArenaProtocolVersion = 1;

// Limits. A line longer than its side's limit, or a byte that is not printable ASCII (the line
// feed aside), breaks the stream: the reader refuses it and reads no further.
inline constexpr std::size_t kMostClientLineBytes = 256;
inline constexpr std::size_t kMostServerLineBytes = 512;
inline constexpr std::size_t kMostNameBytes = 16;
inline constexpr std::size_t kMostReasonBytes = 200;  // a leave, refusal or goodbye reason
inline constexpr std::size_t kMostKeysPerLine = 16;
inline constexpr std::int32_t kMostArenaPlayers = 64;
inline constexpr std::int32_t kMostFrameEnemies = 1024;  // the nearest ones, where a level has more
inline constexpr std::int32_t kArenaHueCount = 8;

// Positions travel in thousandths of a cell, headings in tenths of a degree: every drawn value
// the rules produce is a whole number of these.
inline constexpr double kPositionUnitsPerCell = 1000.0;
inline constexpr double kYawUnitsPerDegree = 10.0;

// The screen names a frame uses: the single game's own.
inline constexpr std::string_view kArenaScreens[] = {"levelintro", "game", "death"};

// What a player name may be: 1 to kMostNameBytes letters, digits, '-', '_' and '.'.
bool isArenaName(std::string_view name);

// --- From a client ---

struct JoinMessage {
    std::int32_t version = kArenaProtocolVersion;
    std::string name;
    friend bool operator==(const JoinMessage&, const JoinMessage&) = default;
};

struct KeysMessage {
    std::vector<int> codes;  // 1 to kMostKeysPerLine key codes, each 0 to 255
    friend bool operator==(const KeysMessage&, const KeysMessage&) = default;
};

struct LeaveMessage {
    std::string reason;  // may be empty
    friend bool operator==(const LeaveMessage&, const LeaveMessage&) = default;
};

using ClientMessage = std::variant<JoinMessage, KeysMessage, LeaveMessage>;

// --- From the server ---

struct WelcomeMessage {
    std::int32_t version = kArenaProtocolVersion;
    std::int32_t playerId = 0;
    bool versus = false;
    std::int32_t hue = 0;
    friend bool operator==(const WelcomeMessage&, const WelcomeMessage&) = default;
};

// The join was refused; the server closes the connection.
struct RefusedMessage {
    std::string reason;
    friend bool operator==(const RefusedMessage&, const RefusedMessage&) = default;
};

// The server drops the client or ends; it closes the connection.
struct ByeMessage {
    std::string reason;
    friend bool operator==(const ByeMessage&, const ByeMessage&) = default;
};

struct FramePlayer {
    std::int32_t id = 0;
    std::int32_t hue = 0;
    std::int32_t x = 0;  // drawn position, in thousandths of a cell
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::int32_t yaw = 0;  // drawn heading, in tenths of a degree
    std::string screen;
    std::int32_t kills = 0;
    std::int32_t wins = 0;
    std::string name;
    friend bool operator==(const FramePlayer&, const FramePlayer&) = default;
};

struct FrameEnemy {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::int32_t yaw = 0;
    friend bool operator==(const FrameEnemy&, const FrameEnemy&) = default;
};

// One tick of the world as one client sees it: its own screen (and the death screen's message),
// every player, and the enemies.
struct WorldFrame {
    std::int64_t tick = 0;
    std::int32_t level = 1;
    std::string screen;
    std::string message;
    std::vector<FramePlayer> players;
    std::vector<FrameEnemy> enemies;
    friend bool operator==(const WorldFrame&, const WorldFrame&) = default;
};

using ServerMessage = std::variant<WelcomeMessage, RefusedMessage, ByeMessage, WorldFrame>;

// What the stream broke, safe to show: anything repeated from it comes escaped.
struct ProtocolError {
    std::string what;
    friend bool operator==(const ProtocolError&, const ProtocolError&) = default;
};

// The lines of a message, each ending in a line feed. Text that the protocol could not carry
// (a byte outside printable ASCII, a reason over its limit) is cut or replaced so that what is
// sent always reads back.
std::string encoded(const ClientMessage& message);
std::string encoded(const ServerMessage& message);

// A frame's lines are its header and then one line per player and per enemy; the server builds
// the shared part once per tick, and each client's header from its counts alone.
struct FrameHeader {
    std::int64_t tick = 0;
    std::int32_t level = 1;
    std::string_view screen;
    std::string_view message;
    std::size_t players = 0;
    std::size_t enemies = 0;
};
std::string frameHeaderLine(const FrameHeader& header);
std::string framePlayerLine(const FramePlayer& player);
std::string frameEnemyLine(const FrameEnemy& enemy);

// Why a server refuses a client of another version, and a client a server: both versions named.
std::string serverVersionRefusal(std::int32_t clientVersion);
std::string clientVersionRefusal(std::int32_t serverVersion);

}  // namespace brickstorm
