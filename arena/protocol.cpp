#include "arena/protocol.h"

#include <algorithm>

namespace brickstorm {

namespace {

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// Text as a line can carry it: printable ASCII only, at most `most` bytes.
std::string carried(std::string_view text, std::size_t most = kMostReasonBytes) {
    std::string result;
    for (const char c : text.substr(0, most)) {
        result += c >= ' ' && c <= '~' ? c : '?';
    }
    return result;
}

std::string joinedWithSpace(const std::string& head, const std::string& rest) {
    return rest.empty() ? head : head + ' ' + rest;
}

struct ClientEncoder {
    std::string operator()(const JoinMessage& m) const {
        return "join " + std::to_string(m.version) + ' ' + carried(m.name, kMostNameBytes) + '\n';
    }
    std::string operator()(const KeysMessage& m) const {
        std::string line = "keys";
        for (const int code : m.codes) {
            line += ' ' + std::to_string(code);
        }
        return line + '\n';
    }
    std::string operator()(const LeaveMessage& m) const {
        return joinedWithSpace("leave", carried(m.reason)) + '\n';
    }
};

struct ServerEncoder {
    std::string operator()(const WelcomeMessage& m) const {
        return "welcome " + std::to_string(m.version) + ' ' + std::to_string(m.playerId) + ' ' +
               (m.versus ? "versus " : "coop ") + std::to_string(m.hue) + '\n';
    }
    std::string operator()(const RefusedMessage& m) const {
        return joinedWithSpace("refused", carried(m.reason)) + '\n';
    }
    std::string operator()(const ByeMessage& m) const {
        return joinedWithSpace("bye", carried(m.reason)) + '\n';
    }
    std::string operator()(const WorldFrame& frame) const {
        std::string text = frameHeaderLine({frame.tick, frame.level, frame.screen, frame.message,
                                            frame.players.size(), frame.enemies.size()});
        for (const FramePlayer& player : frame.players) {
            text += framePlayerLine(player);
        }
        for (const FrameEnemy& enemy : frame.enemies) {
            text += frameEnemyLine(enemy);
        }
        return text;
    }
};

}  // namespace

bool isArenaName(std::string_view name) {
    return !name.empty() && name.size() <= kMostNameBytes &&
           std::all_of(name.begin(), name.end(), isNameCharacter);
}

std::string encoded(const ClientMessage& message) { return std::visit(ClientEncoder{}, message); }

std::string encoded(const ServerMessage& message) { return std::visit(ServerEncoder{}, message); }

std::string frameHeaderLine(const FrameHeader& header) {
    return joinedWithSpace("frame " + std::to_string(header.tick) + ' ' + std::to_string(header.level) + ' ' +
                               std::string(header.screen) + ' ' + std::to_string(header.players) + ' ' +
                               std::to_string(header.enemies),
                           carried(header.message)) +
           '\n';
}

std::string framePlayerLine(const FramePlayer& p) {
    return "player " + std::to_string(p.id) + ' ' + std::to_string(p.hue) + ' ' + std::to_string(p.x) + ' ' +
           std::to_string(p.y) + ' ' + std::to_string(p.z) + ' ' + std::to_string(p.yaw) + ' ' + p.screen +
           ' ' + std::to_string(p.kills) + ' ' + std::to_string(p.wins) + ' ' +
           carried(p.name, kMostNameBytes) + '\n';
}

std::string frameEnemyLine(const FrameEnemy& e) {
    return "enemy " + std::to_string(e.x) + ' ' + std::to_string(e.y) + ' ' + std::to_string(e.z) + ' ' +
           std::to_string(e.yaw) + '\n';
}

std::string serverVersionRefusal(std::int32_t clientVersion) {
    return "this server speaks protocol version " + std::to_string(kArenaProtocolVersion) +
           ", the client version " + std::to_string(clientVersion);
}

std::string clientVersionRefusal(std::int32_t serverVersion) {
    return "the server speaks protocol version " + std::to_string(serverVersion) + ", this client version " +
           std::to_string(kArenaProtocolVersion);
}

}  // namespace brickstorm
