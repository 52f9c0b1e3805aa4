#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arena/protocol.h"

namespace brickstorm {

// Cuts a stream into lines, holding at most one unfinished line of at most `mostLineBytes`.
class LineCutter {
public:
    explicit LineCutter(std::size_t mostLineBytes) : mostLineBytes_(mostLineBytes) {}

    // Takes the next bytes and appends each complete line (without its line feed) to `lines`.
    // Stops at the first byte the protocol does not allow (one outside printable ASCII, or one
    // that makes a line too long) and returns what it was; bytes after it are not read, now or
    // later.
    std::optional<ProtocolError> cut(std::string_view bytes, std::vector<std::string>& lines);

private:
    std::size_t mostLineBytes_;
    std::string partial_;
    std::optional<ProtocolError> broken_;
};

// One line from a client, or what is wrong with it.
std::optional<ProtocolError> parseClientLine(std::string_view line, ClientMessage& message);

// Reads what one client sends.
class ClientStreamReader {
public:
    // Appends each message complete in the bytes to `messages`; at the first thing the protocol
    // does not allow, returns it and reads nothing further.
    std::optional<ProtocolError> read(std::string_view bytes, std::vector<ClientMessage>& messages);

private:
    LineCutter lines_{kMostClientLineBytes};
    std::optional<ProtocolError> broken_;
};

// Reads what the server sends: a frame is complete once its header's count of player and enemy
// lines has come.
class ServerStreamReader {
public:
    std::optional<ProtocolError> read(std::string_view bytes, std::vector<ServerMessage>& messages);

private:
    std::optional<ProtocolError> readLine(std::string_view line, std::vector<ServerMessage>& messages);
    std::optional<ProtocolError> readFrameLine(std::string_view line, std::vector<ServerMessage>& messages);
    // Hands the frame under way on once its last line has come.
    void finishFrame(std::vector<ServerMessage>& messages);

    LineCutter lines_{kMostServerLineBytes};
    std::optional<WorldFrame> frame_;  // a frame whose lines are still coming
    std::size_t playersLeft_ = 0;
    std::size_t enemiesLeft_ = 0;
    std::optional<ProtocolError> broken_;
};

}  // namespace brickstorm
