#include "arena/arena_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "arena/protocol_reader.h"
#include "core/game_state.h"

namespace brickstorm {
namespace {

// A level 9 wide and 12 deep on a floor, its start at (4, 1, 0), an exit two cells ahead of it,
// and an enemy far off in a corner.
std::string serverLevelText() {
    constexpr std::size_t kWidth = 9;
    constexpr std::size_t kLayer = kWidth * 12;
    std::string ground(kLayer, '0');
    ground[11 * kWidth + 4] = 'p';
    ground[9 * kWidth + 4] = 'E';
    ground[0] = 'e';  // (0, 1, 11)
    return "009003012" + std::string(kLayer, 'b') + ground + std::string(kLayer, '0');
}

// One end of a connection as a client sees it: what it sends goes to the server at once, and
// it reads what the server has queued only when the test says so.
class FakeClient {
public:
    explicit FakeClient(ArenaServer& server) : server_(server), id(server.connect()) {}

    void send(const std::string& bytes) { server_.receive(id, bytes); }
    void join(const std::string& name) { send(encoded(JoinMessage{kArenaProtocolVersion, name})); }
    void keys(std::vector<int> codes) { send(encoded(KeysMessage{std::move(codes)})); }

    // Reads what the server has queued, up to `most` bytes.
    void read(std::size_t most = std::numeric_limits<std::size_t>::max()) {
        for (std::string_view bytes = server_.pending(id); !bytes.empty() && most > 0;
             bytes = server_.pending(id)) {
            bytes = bytes.substr(0, most);
            ASSERT_EQ(reader_.read(bytes, got), std::nullopt);
            server_.wrote(id, bytes.size());
            most -= bytes.size();
        }
    }

    template <typename Message>
    std::vector<Message> all() const {
        std::vector<Message> found;
        for (const ServerMessage& message : got) {
            if (const auto* m = std::get_if<Message>(&message)) {
                found.push_back(*m);
            }
        }
        return found;
    }
    WorldFrame lastFrame() const {
        const std::vector<WorldFrame> frames = all<WorldFrame>();
        return frames.empty() ? WorldFrame{} : frames.back();
    }

private:
    ArenaServer& server_;
    ServerStreamReader reader_;

public:
    const ConnectionId id;
    std::vector<ServerMessage> got;
};

class ArenaServerTest : public ::testing::Test {
protected:
    explicit ArenaServerTest(ArenaMode mode = ArenaMode::Coop, std::int32_t mostPlayers = kMostArenaPlayers)
        : server(
              ArenaServerSettings{mode, GameLevels({serverLevelText(), serverLevelText()}), 1, mostPlayers}) {}

    FakeClient& client() { return *clients.emplace_back(std::make_unique<FakeClient>(server)); }

    // Ticks, with every reading client reading after each tick.
    void tick(int count = 1, const std::vector<FakeClient*>& reading = {}) {
        for (int i = 0; i < count; ++i) {
            server.tick();
            for (FakeClient* each : reading) {
                each->read();
            }
        }
    }

    std::vector<std::string> events() {
        std::vector<std::string> lines = server.takeEventLines();
        log.insert(log.end(), lines.begin(), lines.end());
        return lines;
    }
    std::vector<ConnectionId> closed() {
        std::vector<ConnectionId> ids = server.takeClosed();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    ArenaServer server;
    std::vector<std::unique_ptr<FakeClient>> clients;
    std::vector<std::string> log;
};

TEST_F(ArenaServerTest, JoinedPlayersAreWelcomedAndGetAFrameOfTheWorldEveryTick) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    EXPECT_EQ(events(), (std::vector<std::string>{"joined ann", "joined bob"}));
    tick(1, {&ann, &bob});

    ASSERT_EQ(ann.all<WelcomeMessage>(), (std::vector<WelcomeMessage>{{kArenaProtocolVersion, 1, false, 0}}));
    ASSERT_EQ(bob.all<WelcomeMessage>(), (std::vector<WelcomeMessage>{{kArenaProtocolVersion, 2, false, 1}}));
    const WorldFrame frame = bob.lastFrame();
    EXPECT_EQ(frame.tick, 1);
    EXPECT_EQ(frame.level, 1);
    EXPECT_EQ(frame.screen, "levelintro");
    ASSERT_EQ(frame.players.size(), 2U);
    EXPECT_EQ(frame.players[0], (FramePlayer{1, 0, 4000, 1000, 0, 0, "levelintro", 0, 0, "ann"}));
    EXPECT_EQ(frame.players[1].name, "bob");
    EXPECT_EQ(frame.enemies, (std::vector<FrameEnemy>{{0, 1000, 11000, 0}}));

    // Keys go in the order the server took them; each client sees the other move.
    tick(1, {&ann, &bob});
    ann.keys({'x', 'w'});
    bob.keys({'x', 'd'});
    tick(5, {&ann, &bob});
    const WorldFrame seen = bob.lastFrame();
    EXPECT_EQ(seen.screen, "game");
    EXPECT_EQ(seen.players[0].z, 250);    // ann is 5 ticks into a step
    EXPECT_EQ(seen.players[1].yaw, 225);  // bob 5 ticks into a turn
    EXPECT_EQ(ann.lastFrame().players, seen.players);
}

TEST_F(ArenaServerTest, TheExitAndTheLevelAreLoggedAndEveryoneSeesTheNextLevelScreen) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    tick(2, {&ann, &bob});
    ann.keys({'x', 'w'});
    bob.keys({'x'});
    tick(20, {&ann, &bob});
    ann.keys({'w'});
    tick(10, {&ann, &bob});
    events();
    EXPECT_NE(std::find(log.begin(), log.end(), "ann reached the exit"), log.end());
    EXPECT_EQ(log.back(), "level 2");
    EXPECT_EQ(bob.lastFrame().level, 2);
    EXPECT_EQ(bob.lastFrame().screen, "levelintro");
    EXPECT_EQ(ann.lastFrame().screen, "levelintro");
}

TEST_F(ArenaServerTest, ADeathIsLoggedAndOnlyTheDeadSeeTheirDeathScreen) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    tick(2, {&ann, &bob});
    ann.keys({'x', 's'});  // back off the floor's edge, and down
    bob.keys({'x'});
    tick(100, {&ann, &bob});
    events();
    EXPECT_NE(std::find(log.begin(), log.end(), "ann fell to their death"), log.end());
    EXPECT_EQ(ann.lastFrame().screen, "death");
    EXPECT_EQ(ann.lastFrame().message, kFellToDeath);
    EXPECT_EQ(bob.lastFrame().screen, "game");
    EXPECT_EQ(bob.lastFrame().message, "");
    EXPECT_EQ(bob.lastFrame().players[0].screen, "death");
}

struct RefusalCase {
    const char* what;
    std::string bytes;
    std::string reason;
};

TEST_F(ArenaServerTest, AJoinThatCannotBeTakenIsRefusedWithItsReasonAndClosed) {
    client().join("ann");
    events();
    const std::vector<RefusalCase> cases = {
        {"another version", "join 2 ann\n", "this server speaks protocol version 1, the client version 2"},
        {"a name taken", "join 1 ann\n", "the name 'ann' is taken"},
        {"a bad name", "join 1 \\x1b\n", "the name '\\\\x1b' is not 1 to 16 letters, digits, '-', '_' or '.'"},
        {"keys first", "keys 119\n", "keys before joining"},
        {"not the protocol", "GET / HTTP/1.1\r\n", "the byte 0x0D, not printable ASCII"},
    };
    for (const RefusalCase& c : cases) {
        FakeClient& refused = client();
        refused.send(c.bytes);
        refused.send("join 1 late\n");  // nothing after a refusal is read
        refused.read();
        EXPECT_EQ(refused.got, (std::vector<ServerMessage>{RefusedMessage{c.reason}})) << c.what;
        EXPECT_EQ(closed(), (std::vector<ConnectionId>{refused.id})) << c.what;
        EXPECT_EQ(events(), (std::vector<std::string>{"refused a client (" + c.reason + ")"}))
            << c.what;  // the log shows the reason escaped as it stands
    }
    EXPECT_EQ(server.match().players.size(), 1U);
}

class FullArenaServerTest : public ArenaServerTest {
protected:
    FullArenaServerTest() : ArenaServerTest(ArenaMode::Coop, 1) {}
};

TEST_F(FullArenaServerTest, AFullServerRefusesAndAFreedPlaceIsTakenAgain) {
    FakeClient& ann = client();
    ann.join("ann");
    FakeClient& bob = client();
    bob.join("bob");
    bob.read();
    EXPECT_EQ(bob.got, (std::vector<ServerMessage>{RefusedMessage{"the server is full"}}));
    ann.send("leave\n");
    FakeClient& cy = client();
    cy.join("cy");
    cy.read();
    EXPECT_EQ(cy.all<WelcomeMessage>().size(), 1U);
    events();
    EXPECT_NE(std::find(log.begin(), log.end(), "left ann (left)"), log.end());
}

TEST_F(ArenaServerTest, AClientBreakingTheProtocolIsDroppedAndTheOthersPlayOn) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    tick(1, {&ann, &bob});
    events();
    bob.send("keys 119\n\x01garbage");
    EXPECT_EQ(events(), (std::vector<std::string>{"left bob (dropped: the byte 0x01, not printable ASCII)"}));
    bob.read();
    EXPECT_EQ(bob.got.back(), ServerMessage(ByeMessage{"the byte 0x01, not printable ASCII"}));
    EXPECT_EQ(closed(), (std::vector<ConnectionId>{bob.id}));
    tick(1, {&ann});
    EXPECT_EQ(ann.lastFrame().players.size(), 1U);
    EXPECT_EQ(server.match().players.size(), 1U);
}

TEST_F(ArenaServerTest, SomeoneTypingFasterThanAnyoneCanIsDropped) {
    FakeClient& ann = client();
    ann.join("ann");
    for (int i = 0; i < 2; ++i) {
        ann.keys(std::vector<int>(16, 'a'));
    }
    tick(1, {&ann});  // 32 keys in one tick are taken
    EXPECT_EQ(server.match().players.size(), 1U);
    for (int i = 0; i < 2; ++i) {
        ann.keys(std::vector<int>(16, 'a'));
    }
    ann.keys({'a'});
    events();
    EXPECT_EQ(log,
              (std::vector<std::string>{"joined ann", "left ann (dropped: more than 32 keys in one tick)"}));
    EXPECT_TRUE(server.match().players.empty());
}

TEST_F(ArenaServerTest, AClientThatStopsReadingIsDroppedAfterTwoSecondsWithItsQueueKeptShort) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    bob.read(10);  // part of its welcome, then nothing more
    std::size_t mostPending = 0;
    for (int t = 0; t < kMostTicksBehind; ++t) {
        tick(1, {&ann});
        mostPending = std::max(mostPending, server.queuedBytes(bob.id));
    }
    EXPECT_EQ(server.match().players.size(), 2U);
    events();
    tick(1, {&ann});
    EXPECT_EQ(events(), (std::vector<std::string>{"left bob (dropped: more than 2 seconds behind)"}));
    EXPECT_EQ(server.match().players.size(), 1U);
    // Its queue held its welcome and at most one frame: newer frames replace unbegun ones.
    EXPECT_LT(mostPending, 400U);

    // The goodbye follows the part of the welcome begun; never read, it is given up in time.
    EXPECT_TRUE(closed().empty());
    tick(static_cast<int>(kMostClosingTicks) + 1, {&ann});
    EXPECT_EQ(closed(), (std::vector<ConnectionId>{bob.id}));
    EXPECT_EQ(ann.lastFrame().players.size(), 1U);
}

TEST_F(ArenaServerTest, AFrameBegunIsFinishedBeforeANewerOne) {
    FakeClient& ann = client();
    ann.join("ann");
    ann.read();
    tick();
    ann.read(5);
    const std::string_view rest = server.pending(ann.id);
    ASSERT_FALSE(rest.empty());
    tick(3);
    ann.read();  // the rest of the first frame, then the newest one
    const std::vector<WorldFrame> frames = ann.all<WorldFrame>();
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].tick, 1);
    EXPECT_EQ(frames[1].tick, 4);
}

TEST_F(ArenaServerTest, ALostOrLeavingClientLeavesWithItsReason) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    FakeClient& cy = client();
    ann.join("ann");
    bob.join("bob");
    cy.join("cy");
    events();
    server.lost(ann.id);
    bob.send(encoded(LeaveMessage{"time for tea"}));
    cy.send("leave\n");
    EXPECT_EQ(events(), (std::vector<std::string>{"left ann (connection closed)", "left bob (time for tea)",
                                                  "left cy (left)"}));
    EXPECT_EQ(closed(), (std::vector<ConnectionId>{ann.id, bob.id, cy.id}));
    EXPECT_EQ(server.connectionCount(), 0U);
    EXPECT_TRUE(server.match().players.empty());
}

TEST_F(ArenaServerTest, EndingSaysGoodbyeToEveryoneAndRefusesNewcomers) {
    FakeClient& ann = client();
    FakeClient& waiting = client();
    ann.join("ann");
    tick(1, {&ann});
    events();
    server.end("the server is ending");
    EXPECT_EQ(events(),
              (std::vector<std::string>{"ending (the server is ending)", "left ann (the server ended)"}));
    ann.read();
    waiting.read();
    EXPECT_EQ(ann.got.back(), ServerMessage(ByeMessage{"the server is ending"}));
    EXPECT_EQ(waiting.got, (std::vector<ServerMessage>{ByeMessage{"the server is ending"}}));
    FakeClient& late = client();
    late.read();
    EXPECT_EQ(late.got, (std::vector<ServerMessage>{RefusedMessage{"the server is ending"}}));
    EXPECT_EQ(closed(), (std::vector<ConnectionId>{ann.id, waiting.id, late.id}));
}

class VersusArenaServerTest : public ArenaServerTest {
protected:
    VersusArenaServerTest() : ArenaServerTest(ArenaMode::Versus) {}
};

TEST_F(VersusArenaServerTest, AShotIsLoggedWithTheShooterAndTheScoreIsInEveryFrame) {
    FakeClient& ann = client();
    FakeClient& bob = client();
    ann.join("ann");
    bob.join("bob");
    tick(2, {&ann, &bob});
    bob.keys({'x', 'w'});
    tick(20, {&ann, &bob});
    ann.keys({'x', 'r'});
    tick(1, {&ann, &bob});
    events();
    EXPECT_NE(std::find(log.begin(), log.end(), "bob was shot by ann"), log.end());
    EXPECT_EQ(bob.lastFrame().players[0].kills, 1);
    EXPECT_EQ(bob.lastFrame().screen, "death");
    EXPECT_EQ(bob.lastFrame().message, kShotDead);
}

// A level of 40 x 40 with 1120 enemies in its far rows: a frame carries the 1024 nearest to the
// player, in the level's order.
TEST(ArenaServerEnemiesTest, WhereALevelHasMoreEnemiesThanAFrameHoldsItCarriesTheNearest) {
    constexpr std::size_t kSide = 40;
    std::string ground(kSide * kSide, '0');
    for (std::size_t row = 0; row < 28; ++row) {  // rows from the far z down: z = 39 to 12
        std::fill_n(ground.begin() + static_cast<std::ptrdiff_t>(row * kSide), kSide, 'e');
    }
    ground[(kSide - 1) * kSide + 20] = 'p';  // (20, 1, 0)
    const std::string level =
        "040003040" + std::string(kSide * kSide, 'b') + ground + std::string(kSide * kSide, '0');
    ArenaServer server(ArenaServerSettings{ArenaMode::Coop, GameLevels({level}), 1, kMostArenaPlayers});
    FakeClient ann(server);
    ann.join("ann");
    server.tick();
    ann.read();
    const std::vector<EnemyEntity>& enemies = server.match().enemies;
    ASSERT_EQ(enemies.size(), 1120U);
    const std::vector<FrameEnemy> carried = ann.lastFrame().enemies;
    ASSERT_EQ(carried.size(), static_cast<std::size_t>(kMostFrameEnemies));

    const auto distance = [](const Vec3& at) { return (at.x - 20) * (at.x - 20) + at.z * at.z; };
    double farthestCarried = 0;
    double nearestLeft = 1e9;
    std::size_t next = 0;
    for (const EnemyEntity& enemy : enemies) {
        const FrameEnemy seen{static_cast<std::int32_t>(enemy.position.x * 1000), 1000,
                              static_cast<std::int32_t>(enemy.position.z * 1000), 0};
        if (next < carried.size() && carried[next] == seen) {
            farthestCarried = std::max(farthestCarried, distance(enemy.position));
            ++next;
        } else {
            nearestLeft = std::min(nearestLeft, distance(enemy.position));
        }
    }
    EXPECT_EQ(next, carried.size());  // every one carried was met, in the level's order
    EXPECT_LE(farthestCarried, nearestLeft);
}

}  // namespace
}  // namespace brickstorm
