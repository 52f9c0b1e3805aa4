#include "arena/protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "arena/protocol_reader.h"

namespace brickstorm {
namespace {

// Reads `bytes` one byte at a time, as a slow socket would hand them over.
template <typename Reader, typename Message>
std::optional<ProtocolError> readByteByByte(Reader& reader, const std::string& bytes,
                                            std::vector<Message>& out) {
    std::optional<ProtocolError> problem;
    for (const char c : bytes) {
        problem = reader.read(std::string_view(&c, 1), out);
    }
    return problem;
}

struct ClientLineCase {
    ClientMessage message;
    const char* line;
};

TEST(ArenaProtocolTest, ClientMessagesAreTheDocumentedLinesAndReadBack) {
    const std::vector<ClientLineCase> cases = {
        {JoinMessage{kArenaProtocolVersion, "ann"}, "join 1 ann\n"},
        {JoinMessage{kArenaProtocolVersion, "A-z_0.9-xxxxxxxx"}, "join 1 A-z_0.9-xxxxxxxx\n"},
        {JoinMessage{7, ""}, "join 7 \n"},  // another version: its name is not read
        {KeysMessage{{119}}, "keys 119\n"},
        {KeysMessage{{0, 224, 75, 255}}, "keys 0 224 75 255\n"},
        {LeaveMessage{""}, "leave\n"},
        {LeaveMessage{"time for  tea!"}, "leave time for  tea!\n"},
    };
    for (const ClientLineCase& c : cases) {
        EXPECT_EQ(encoded(c.message), c.line);
        ClientStreamReader reader;
        std::vector<ClientMessage> read;
        EXPECT_EQ(readByteByByte(reader, c.line, read), std::nullopt) << c.line;
        ASSERT_EQ(read.size(), 1U) << c.line;
        EXPECT_EQ(read[0], c.message) << c.line;
    }
}

TEST(ArenaProtocolTest, AJoinOfAnotherVersionIsReadWhateverItsName) {
    ClientMessage message;
    ASSERT_EQ(parseClientLine("join 2 names may be anything there", message), std::nullopt);
    EXPECT_EQ(std::get<JoinMessage>(message).version, 2);
    EXPECT_EQ(serverVersionRefusal(2), "this server speaks protocol version 1, the client version 2");
    EXPECT_EQ(clientVersionRefusal(3), "the server speaks protocol version 3, this client version 1");
}

struct RefusedCase {
    std::string bytes;
    std::string error;
};

TEST(ArenaProtocolTest, WhatTheProtocolDoesNotAllowIsRefusedWithAnEscapedReason) {
    const std::vector<RefusedCase> cases = {
        {"hello\n", "an unknown message 'hello'"},
        {"\x1b[2J\n", "the byte 0x1B, not printable ASCII"},
        {"keys 1\r\n", "the byte 0x0D, not printable ASCII"},
        {std::string("join 1 a\0b\n", 11), "the byte 0x00, not printable ASCII"},
        {"\xc3\xa9\n", "the byte 0xC3, not printable ASCII"},
        {std::string(257, 'k'), "a line longer than 256 bytes"},
        {"join 1 bob smith\n", "the name 'bob smith' is not 1 to 16 letters, digits, '-', '_' or '.'"},
        {"join 1 \\e]0;x\n", "the name '\\\\e]0;x' is not 1 to 16 letters, digits, '-', '_' or '.'"},
        {"join 1 abcdefghijklmnopq\n", "the name 'abcdefghijklmnopq' is not"},
        {"join 1\n", "the name '' is not"},
        {"join x ann\n", "a malformed join line"},
        {"join -1 ann\n", "a malformed join line"},
        {"join 99999999999 ann\n", "a malformed join line"},
        {"keys\n", "a malformed keys line"},
        {"keys \n", "the key code '' is not one from 0 to 255"},
        {"keys 256\n", "the key code '256' is not one from 0 to 255"},
        {"keys +1\n", "the key code '+1' is not one from 0 to 255"},
        {"keys 1  2\n", "the key code '' is not one from 0 to 255"},
        {"keys 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n", "a malformed keys line"},
        {"keysx 1\n", "an unknown message 'keysx'"},
        {"leave " + std::string(201, 'x') + "\n", "a malformed leave line"},
        {std::string(40, 'z') + "\n", "an unknown message 'zzzzzzzzzzzzzzzzzzzzzzzz'..."},
    };
    for (const RefusedCase& c : cases) {
        ClientStreamReader reader;
        std::vector<ClientMessage> read;
        const std::optional<ProtocolError> problem = reader.read(c.bytes, read);
        ASSERT_TRUE(problem.has_value()) << c.bytes;
        EXPECT_EQ(problem->what.substr(0, c.error.size()), c.error) << c.bytes;
        EXPECT_TRUE(read.empty()) << c.bytes;
        // Broken for good: a good line after it is not read.
        EXPECT_EQ(reader.read("keys 1\n", read), problem);
        EXPECT_TRUE(read.empty());
    }
}

TEST(ArenaProtocolTest, LinesBeforeABrokenByteStillCountInOrder) {
    ClientStreamReader reader;
    std::vector<ClientMessage> read;
    const std::optional<ProtocolError> problem = reader.read("keys 1\nkeys 2\nkeys\x01 3\n", read);
    ASSERT_TRUE(problem.has_value());
    ASSERT_EQ(read.size(), 2U);
    EXPECT_EQ(read[1], ClientMessage(KeysMessage{{2}}));
}

TEST(ArenaProtocolTest, ALineOfExactlyTheLimitIsTaken) {
    ClientStreamReader reader;
    std::vector<ClientMessage> read;
    const std::string line = "leave " + std::string(kMostReasonBytes, 'x');
    ASSERT_LE(line.size(), kMostClientLineBytes);
    EXPECT_EQ(reader.read(line + "\n", read), std::nullopt);
    EXPECT_EQ(read.size(), 1U);

    LineCutter cutter(4);
    std::vector<std::string> lines;
    EXPECT_EQ(cutter.cut("abcd\nab", lines), std::nullopt);
    EXPECT_EQ(lines, std::vector<std::string>{"abcd"});
    EXPECT_TRUE(cutter.cut("cde", lines).has_value());
}

WorldFrame sampleFrame() {
    WorldFrame frame;
    frame.tick = 1234;
    frame.level = 3;
    frame.screen = "death";
    frame.message = "You were shot.";
    frame.players = {{1, 0, 4000, 1000, -250, 3555, "death", 0, 2, "ann"},
                     {2, 7, -12000, 1500, 99000, 0, "game", 3, 0, "bob.b"}};
    frame.enemies = {{4000, 1000, 8000, 900}, {0, -9000, 1, 2700}};
    return frame;
}

TEST(ArenaProtocolTest, ServerMessagesAreTheDocumentedLinesAndReadBack) {
    const std::vector<ServerMessage> messages = {
        WelcomeMessage{kArenaProtocolVersion, 5, true, 3},
        WelcomeMessage{kArenaProtocolVersion, 6, false, 0},
        WelcomeMessage{4, 0, false, 0},
        RefusedMessage{"the name 'ann' is taken"},
        ByeMessage{""},
        ByeMessage{"the server is ending"},
        sampleFrame(),
        WorldFrame{9, 1, "levelintro", "", {}, {}},
    };
    std::string all;
    for (const ServerMessage& message : messages) {
        all += encoded(message);
    }
    EXPECT_EQ(encoded(messages[0]), "welcome 1 5 versus 3\n");
    EXPECT_EQ(encoded(messages[2]), "welcome 4 0 coop 0\n");  // read by its version alone
    EXPECT_EQ(encoded(messages[6]),
              "frame 1234 3 death 2 2 You were shot.\n"
              "player 1 0 4000 1000 -250 3555 death 0 2 ann\n"
              "player 2 7 -12000 1500 99000 0 game 3 0 bob.b\n"
              "enemy 4000 1000 8000 900\n"
              "enemy 0 -9000 1 2700\n");
    ServerStreamReader reader;
    std::vector<ServerMessage> read;
    EXPECT_EQ(readByteByByte(reader, all, read), std::nullopt);
    EXPECT_EQ(read, messages);
}

TEST(ArenaProtocolTest, AFrameIsHandedOnOnlyOnceItsLastLineHasCome) {
    const std::string bytes = encoded(sampleFrame());
    ServerStreamReader reader;
    std::vector<ServerMessage> read;
    const std::size_t lastLine = bytes.rfind("enemy");
    EXPECT_EQ(reader.read(bytes.substr(0, lastLine), read), std::nullopt);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(reader.read(bytes.substr(lastLine), read), std::nullopt);
    EXPECT_EQ(read.size(), 1U);
}

TEST(ArenaProtocolTest, AServerThatBreaksTheProtocolIsRefused) {
    const std::vector<RefusedCase> cases = {
        {"frame 1 1 game 65 0\n", "a malformed frame line"},
        {"frame 1 1 game 0 1025\n", "a malformed frame line"},
        {"frame 1 0 game 0 0\n", "a malformed frame line"},
        {"frame 1 1 paused 0 0\n", "a malformed frame line"},
        {"frame 1 1 game 1 0\nenemy 0 0 0 0\n", "a frame's player line missing"},
        {"frame 1 1 game 0 1\nplayer 1 0 0 0 0 0 game 0 0 ann\n", "a frame's enemy line missing"},
        {"frame 1 1 game 1 0\nplayer 1 8 0 0 0 0 game 0 0 ann\n", "a malformed player line"},
        {"frame 1 1 game 1 0\nplayer 1 0 0 0 0 3600 game 0 0 ann\n", "a malformed player line"},
        {"frame 1 1 game 1 0\nplayer 1 0 0 0 0 0 game 0 0 a b\n", "a malformed player line"},
        {"frame 1 1 game 0 1\nenemy 0 0 0\n", "a malformed enemy line"},
        {"frame 1 1 game 0 1\nenemy 0 0 0 0 0\n", "a malformed enemy line"},
        {"enemy 0 0 0 0\n", "an unknown message 'enemy'"},
        {"welcome 1 1 race 0\n", "a malformed welcome line"},
        {"welcome 1 1 coop\n", "a malformed welcome line"},
        {std::string(513, 'b'), "a line longer than 512 bytes"},
    };
    for (const RefusedCase& c : cases) {
        ServerStreamReader reader;
        std::vector<ServerMessage> read;
        const std::optional<ProtocolError> problem = reader.read(c.bytes, read);
        ASSERT_TRUE(problem.has_value()) << c.bytes;
        EXPECT_EQ(problem->what, c.error) << c.bytes;
        EXPECT_TRUE(read.empty()) << c.bytes;
    }
}

TEST(ArenaProtocolTest, TextTheLinesCannotCarryIsReplacedAndCutSoThatItAlwaysReadsBack) {
    const std::string sent = encoded(ByeMessage{"bad\x1b[31m\n" + std::string(300, 'x')});
    ServerStreamReader reader;
    std::vector<ServerMessage> read;
    ASSERT_EQ(reader.read(sent, read), std::nullopt);
    ASSERT_EQ(read.size(), 1U);
    const std::string& reason = std::get<ByeMessage>(read[0]).reason;
    EXPECT_EQ(reason.size(), kMostReasonBytes);
    EXPECT_EQ(reason.substr(0, 10), "bad?[31m?x");
}

TEST(ArenaProtocolTest, NamesAreShortAndPlain) {
    EXPECT_TRUE(isArenaName("ann"));
    EXPECT_TRUE(isArenaName("0123456789abcdef"));
    EXPECT_FALSE(isArenaName(""));
    EXPECT_FALSE(isArenaName("0123456789abcdefg"));
    EXPECT_FALSE(isArenaName("ann b"));
    EXPECT_FALSE(isArenaName("caf\xc3\xa9"));
}

}  // namespace
}  // namespace brickstorm
