#include "arena/arena_server.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/game_state.h"
#include "world/display_text.h"

namespace brickstorm {

namespace {

std::int32_t units(double value, double perUnit) {
    const double scaled = std::round(value * perUnit);
    constexpr double kLeast = std::numeric_limits<std::int32_t>::min();
    constexpr double kMost = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(scaled, kLeast, kMost));
}

// A heading in tenths of a degree, within one turn: a yaw just under 360 rounds to 0.
std::int32_t yawUnits(double yaw) {
    const std::int32_t tenths = units(yaw, kYawUnitsPerDegree);
    constexpr std::int32_t kTurn = 3600;
    return ((tenths % kTurn) + kTurn) % kTurn;
}

FrameEnemy frameEnemy(const EnemyEntity& enemy) {
    const Vec3& at = enemy.displayPosition;
    return {units(at.x, kPositionUnitsPerCell), units(at.y, kPositionUnitsPerCell),
            units(at.z, kPositionUnitsPerCell), yawUnits(enemy.yaw)};
}

// The enemies a frame carries: all of them, or where a level has more than a frame may hold,
// the nearest to `from`, in the level's order.
std::string enemyLines(const std::vector<EnemyEntity>& enemies, Vec3 from, std::size_t& count) {
    std::vector<std::size_t> chosen(enemies.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        chosen[i] = i;
    }
    const auto most = static_cast<std::size_t>(kMostFrameEnemies);
    if (chosen.size() > most) {
        const auto distance = [&](std::size_t i) {
            const Vec3& at = enemies[i].position;
            return (at.x - from.x) * (at.x - from.x) + (at.y - from.y) * (at.y - from.y) +
                   (at.z - from.z) * (at.z - from.z);
        };
        std::nth_element(chosen.begin(), chosen.begin() + static_cast<std::ptrdiff_t>(most), chosen.end(),
                         [&](std::size_t a, std::size_t b) {
                             return distance(a) < distance(b) || (distance(a) == distance(b) && a < b);
                         });
        chosen.resize(most);
        std::sort(chosen.begin(), chosen.end());
    }
    std::string lines;
    for (const std::size_t i : chosen) {
        lines += frameEnemyLine(frameEnemy(enemies[i]));
    }
    count = chosen.size();
    return lines;
}

}  // namespace

ArenaServer::ArenaServer(ArenaServerSettings settings)
    : settings_(std::move(settings)),
      match_(startArena(settings_.mode, settings_.levels, settings_.firstLevel)) {}

ConnectionId ArenaServer::connect() {
    const ConnectionId id = nextConnection_++;
    Connection& connection = connections_[id];
    connection.id = id;
    connection.caughtUpAt = now_;
    if (ended_) {
        refuse(connection, "the server is ending");
    }
    return id;
}

void ArenaServer::receive(ConnectionId id, std::string_view bytes) {
    const auto found = connections_.find(id);
    if (found == connections_.end() || found->second.closingSince || found->second.gone) {
        return;  // finished with: what it still sends is not read
    }
    Connection& connection = found->second;
    std::vector<ClientMessage> messages;
    const std::optional<ProtocolError> problem = connection.reader.read(bytes, messages);
    for (const ClientMessage& message : messages) {
        handle(connection, message);
        if (connection.closingSince) {
            return;
        }
    }
    if (problem) {
        if (connection.player) {
            drop(connection, "dropped: " + problem->what, problem->what);
        } else {
            refuse(connection, problem->what);
        }
    }
}

void ArenaServer::handle(Connection& connection, const ClientMessage& message) {
    if (const auto* joinMessage = std::get_if<JoinMessage>(&message)) {
        join(connection, *joinMessage);
    } else if (const auto* keys = std::get_if<KeysMessage>(&message)) {
        takeKeys(connection, *keys);
    } else if (connection.player) {
        const std::string& reason = std::get<LeaveMessage>(message).reason;
        drop(connection, reason.empty() ? "left" : escapedForDisplay(reason), std::nullopt);
    } else {
        finish(connection, std::nullopt);  // left before joining: nothing to log
    }
}

void ArenaServer::join(Connection& connection, const JoinMessage& message) {
    if (connection.player) {
        drop(connection, "dropped: joined twice", "joined twice");
        return;
    }
    if (message.version != kArenaProtocolVersion) {
        refuse(connection, serverVersionRefusal(message.version));
        return;
    }
    const bool taken = std::any_of(connections_.begin(), connections_.end(), [&](const auto& entry) {
        return entry.second.player && entry.second.name == message.name;
    });
    if (taken) {
        refuse(connection, "the name " + quotedForDisplay(message.name) + " is taken");
        return;
    }
    if (static_cast<std::int32_t>(players_.size()) >= settings_.mostPlayers) {
        refuse(connection, "the server is full");
        return;
    }
    const std::int32_t player = nextPlayer_++;
    connection.hue = freeHue();
    connection.player = player;
    connection.name = message.name;
    players_[player] = connection.id;
    addArenaPlayer(match_, player);
    queue(connection,
          WelcomeMessage{kArenaProtocolVersion, player, settings_.mode == ArenaMode::Versus, connection.hue});
    log("joined " + escapedForDisplay(connection.name));
}

void ArenaServer::takeKeys(Connection& connection, const KeysMessage& message) {
    if (!connection.player) {
        refuse(connection, "keys before joining");
        return;
    }
    connection.keysThisTick += message.codes.size();
    if (connection.keysThisTick > kMostKeysPerTick) {
        const std::string why = "more than " + std::to_string(kMostKeysPerTick) + " keys in one tick";
        drop(connection, "dropped: " + why, why);
        return;
    }
    for (const int code : message.codes) {
        keys_.push_back({*connection.player, code});
    }
}

void ArenaServer::refuse(Connection& connection, std::string reason) {
    log("refused a client (" + reason + ")");  // every reason is the server's own, names escaped
    finish(connection, RefusedMessage{std::move(reason)});
}

void ArenaServer::drop(Connection& connection, const std::string& why, std::optional<std::string> bye) {
    const std::int32_t player = *connection.player;
    log("left " + escapedForDisplay(connection.name) + " (" + why + ")");
    removeArenaPlayer(match_, player);
    players_.erase(player);
    std::erase_if(keys_, [player](const ArenaKey& key) { return key.player == player; });
    connection.player.reset();
    finish(connection, bye ? std::optional<ServerMessage>(ByeMessage{std::move(*bye)}) : std::nullopt);
}

// Nothing more is read from the connection; what is queued after a message begun is dropped,
// and `last` is said once that one is written.
void ArenaServer::finish(Connection& connection, std::optional<ServerMessage> last) {
    const bool begun = !connection.queue.empty() && connection.queue.front().written > 0;
    connection.queue.resize(begun ? 1 : 0);
    if (last) {
        queue(connection, *last);
    }
    connection.closingSince = now_;
}

void ArenaServer::lost(ConnectionId id, std::string_view why) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) {
        return;
    }
    Connection& connection = found->second;
    if (connection.player) {
        drop(connection, escapedForDisplay(why), std::nullopt);
    }
    connection.queue.clear();
    connection.gone = true;
}

void ArenaServer::queue(Connection& connection, const ServerMessage& message) {
    connection.queue.push_back({encoded(message), false, 0});
}

// A frame not yet begun is replaced by the newer one: a client only draws the latest world.
void ArenaServer::queueFrame(Connection& connection, std::string bytes) {
    if (!connection.queue.empty() && connection.queue.back().frame && connection.queue.back().written == 0) {
        connection.queue.back().bytes = std::move(bytes);
        return;
    }
    connection.queue.push_back({std::move(bytes), true, 0});
}

void ArenaServer::tick() {
    ++now_;
    if (ended_) {
        return;  // only the goodbyes' time runs on
    }
    const std::vector<ArenaKey> keys = std::exchange(keys_, {});
    logEvents(arenaTick(match_, keys));
    sendFrames();
    for (auto& [id, connection] : connections_) {
        connection.keysThisTick = 0;
        if (connection.player && !connection.queue.empty() &&
            now_ - connection.caughtUpAt > kMostTicksBehind) {
            const std::string why = "more than " + std::to_string(kMostTicksBehind / 20) + " seconds behind";
            drop(connection, "dropped: " + why, why);
        }
    }
}

void ArenaServer::sendFrames() {
    std::string playerLines;
    for (const ArenaPlayer& player : match_.players) {
        const Connection& connection = connections_.at(players_.at(player.id));
        const Vec3& at = player.entity.displayPosition;
        playerLines += framePlayerLine({player.id, connection.hue, units(at.x, kPositionUnitsPerCell),
                                        units(at.y, kPositionUnitsPerCell), units(at.z, kPositionUnitsPerCell),
                                        yawUnits(player.entity.yaw), player.screen, player.kills, player.wins,
                                        connection.name});
    }
    const bool sameEnemiesForAll = match_.enemies.size() <= static_cast<std::size_t>(kMostFrameEnemies);
    std::size_t enemyCount = 0;
    const std::string sharedEnemies =
        sameEnemiesForAll ? enemyLines(match_.enemies, {}, enemyCount) : std::string();
    for (const ArenaPlayer& player : match_.players) {
        Connection& connection = connections_.at(players_.at(player.id));
        std::string nearEnemies;
        if (!sameEnemiesForAll) {
            nearEnemies = enemyLines(match_.enemies, player.entity.position, enemyCount);
        }
        const std::string& enemies = sameEnemiesForAll ? sharedEnemies : nearEnemies;
        const std::string_view message =
            player.screen == kScreenDeath ? player.deathMessage : std::string_view();
        const FrameHeader header{match_.tick, match_.levelNumber,    player.screen,
                                 message,     match_.players.size(), enemyCount};
        std::string frame = frameHeaderLine(header);
        frame.reserve(frame.size() + playerLines.size() + enemies.size());
        frame += playerLines;
        frame += enemies;
        queueFrame(connection, std::move(frame));
    }
}

void ArenaServer::logEvents(const std::vector<ArenaEvent>& events) {
    for (const ArenaEvent& event : events) {
        switch (event.kind) {
        case ArenaEvent::Kind::LevelShown: log("level " + std::to_string(event.level)); break;
        case ArenaEvent::Kind::ExitReached:
            log(nameOf(event.player) +
                (settings_.mode == ArenaMode::Versus ? " won the round" : " reached the exit"));
            break;
        case ArenaEvent::Kind::Killed:
            if (event.by >= 0) {
                log(nameOf(event.player) + " was shot by " + nameOf(event.by));
            } else if (event.message == kFellToDeath) {
                log(nameOf(event.player) + " fell to their death");
            } else {
                log(nameOf(event.player) + " was killed");
            }
            break;
        }
    }
}

std::string ArenaServer::nameOf(std::int32_t player) const {
    const auto found = players_.find(player);
    return found == players_.end() ? "someone" : escapedForDisplay(connections_.at(found->second).name);
}

// The first hue no player has; with every hue taken, the one fewest players have.
std::int32_t ArenaServer::freeHue() const {
    std::vector<int> users(static_cast<std::size_t>(kArenaHueCount), 0);
    for (const auto& [id, connection] : connections_) {
        if (connection.player) {
            ++users[static_cast<std::size_t>(connection.hue)];
        }
    }
    return static_cast<std::int32_t>(std::min_element(users.begin(), users.end()) - users.begin());
}

void ArenaServer::end(std::string_view reason) {
    if (ended_) {
        return;
    }
    log("ending (" + escapedForDisplay(reason) + ")");
    for (auto& [id, connection] : connections_) {
        if (connection.gone || connection.closingSince) {
            continue;
        }
        if (connection.player) {
            drop(connection, "the server ended", std::string(reason));
        } else {
            finish(connection, ByeMessage{std::string(reason)});
        }
    }
    ended_ = true;
}

std::string_view ArenaServer::pending(ConnectionId id) const {
    const auto found = connections_.find(id);
    if (found == connections_.end() || found->second.queue.empty()) {
        return {};
    }
    const Outgoing& front = found->second.queue.front();
    return std::string_view(front.bytes).substr(front.written);
}

std::size_t ArenaServer::queuedBytes(ConnectionId id) const {
    const auto found = connections_.find(id);
    std::size_t total = 0;
    if (found != connections_.end()) {
        for (const Outgoing& outgoing : found->second.queue) {
            total += outgoing.bytes.size() - outgoing.written;
        }
    }
    return total;
}

void ArenaServer::wrote(ConnectionId id, std::size_t count) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) {
        return;
    }
    Connection& connection = found->second;
    while (count > 0 && !connection.queue.empty()) {
        Outgoing& front = connection.queue.front();
        const std::size_t taken = std::min(count, front.bytes.size() - front.written);
        front.written += taken;
        count -= taken;
        if (front.written == front.bytes.size()) {
            connection.queue.pop_front();
        }
    }
    if (connection.queue.empty()) {
        connection.caughtUpAt = now_;
    }
}

std::vector<ConnectionId> ArenaServer::takeClosed() {
    std::vector<ConnectionId> closed;
    for (auto it = connections_.begin(); it != connections_.end();) {
        const Connection& connection = it->second;
        const bool done = connection.gone ||
                          (connection.closingSince &&
                           (connection.queue.empty() || now_ - *connection.closingSince > kMostClosingTicks));
        if (done) {
            closed.push_back(it->first);
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
    return closed;
}

std::vector<std::string> ArenaServer::takeEventLines() { return std::exchange(events_, {}); }

}  // namespace brickstorm
