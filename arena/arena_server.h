#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arena/protocol.h"
#include "arena/protocol_reader.h"
#include "core/arena_game.h"

// The server of a match as an object without sockets: the platform hands it each connection's
// bytes and the tick, and writes out what it queues for each connection. It never waits on a
// client: what a client has not read is held in a short queue of its own, in which a newer
// frame replaces one not yet begun, and a client that has not caught up for a couple of
// seconds, or that sends what the protocol does not allow, is dropped with a reason.
namespace brickstorm {

inline constexpr std::int64_t kMostTicksBehind = 40;   // 2 s without catching up drops a client
inline constexpr std::int64_t kMostClosingTicks = 20;  // a goodbye not written in 1 s is given up
inline constexpr std::size_t kMostKeysPerTick = 32;    // from one client between two ticks

struct ArenaServerSettings {
    ArenaMode mode = ArenaMode::Coop;
    GameLevels levels;
    std::int32_t firstLevel = 1;
    std::int32_t mostPlayers = kMostArenaPlayers;
};

using ConnectionId = std::uint64_t;

class ArenaServer {
public:
    explicit ArenaServer(ArenaServerSettings settings);

    // A new connection. It must join before anything else.
    ConnectionId connect();
    // Bytes read from a connection, in the order they came.
    void receive(ConnectionId id, std::string_view bytes);
    // The other end of the connection has gone (end of file, or an error reading or writing):
    // its player leaves, and nothing more is written to it.
    void lost(ConnectionId id, std::string_view why = "connection closed");
    // One tick: the keys taken since the last one, in the order they were taken, run through
    // the rules, then a frame queued for every player.
    void tick();
    // Says goodbye to every connection with `reason`, and refuses any later one.
    void end(std::string_view reason);

    // The bytes waiting to be written to the connection: empty when there are none.
    std::string_view pending(ConnectionId id) const;
    // All the bytes waiting for the connection, pending() and what follows it.
    std::size_t queuedBytes(ConnectionId id) const;
    // The first `count` bytes of pending() have been written.
    void wrote(ConnectionId id, std::size_t count);
    // The connections to close now, which the server then forgets: lost ones, and those it has
    // finished with whose goodbye is written or has waited too long.
    std::vector<ConnectionId> takeClosed();
    // The log's lines (without line ends) since the last call.
    std::vector<std::string> takeEventLines();

    const ArenaState& match() const { return match_; }
    std::size_t connectionCount() const { return connections_.size(); }
    bool ended() const { return ended_; }

private:
    struct Outgoing {
        std::string bytes;
        bool frame = false;
        std::size_t written = 0;
    };

    struct Connection {
        ConnectionId id = 0;
        ClientStreamReader reader;
        std::optional<std::int32_t> player;  // its id in the match, once joined
        std::string name;
        std::int32_t hue = 0;
        std::deque<Outgoing> queue;
        std::int64_t caughtUpAt = 0;  // the last server tick at which nothing was waiting
        std::size_t keysThisTick = 0;
        std::optional<std::int64_t> closingSince;  // the tick it was finished with
        bool gone = false;                         // lost: close at once
    };

    void handle(Connection& connection, const ClientMessage& message);
    void join(Connection& connection, const JoinMessage& message);
    void takeKeys(Connection& connection, const KeysMessage& message);
    void refuse(Connection& connection, std::string reason);
    // Takes the player out of the match with `why` in the log, then says goodbye with `bye`.
    void drop(Connection& connection, const std::string& why, std::optional<std::string> bye);
    void finish(Connection& connection, std::optional<ServerMessage> last);
    void queue(Connection& connection, const ServerMessage& message);
    void queueFrame(Connection& connection, std::string bytes);
    void logEvents(const std::vector<ArenaEvent>& events);
    void sendFrames();
    std::string nameOf(std::int32_t player) const;
    std::int32_t freeHue() const;
    void log(std::string line) { events_.push_back(std::move(line)); }

    ArenaServerSettings settings_;
    ArenaState match_;
    std::map<ConnectionId, Connection> connections_;
    std::map<std::int32_t, ConnectionId> players_;  // player id to its connection
    std::vector<ArenaKey> keys_;                    // taken since the last tick, in order
    std::vector<std::string> events_;
    std::int64_t now_ = 0;  // the server's ticks, which go on after the match has ended
    ConnectionId nextConnection_ = 1;
    std::int32_t nextPlayer_ = 1;
    bool ended_ = false;
};

}  // namespace brickstorm
