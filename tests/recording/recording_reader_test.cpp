#include "recording/recording_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

#include "world/display_text.h"

namespace brickstorm {
namespace {

constexpr const char* kHeader = "brickstorm-recording 1\nprogram 1.0\nlevels built-in\nstart 1\n";

std::string body(const std::string& lines) { return std::string(kHeader) + lines; }

RecordingProblem problemOf(const std::string& text) {
    const RecordingReadResult result = readRecording(text);
    if (const auto* problem = std::get_if<RecordingProblem>(&result)) {
        return *problem;
    }
    ADD_FAILURE() << "read without a problem: " << text;
    return {};
}

Recording recordingOf(const std::string& text) {
    RecordingReadResult result = readRecording(text);
    if (const auto* problem = std::get_if<RecordingProblem>(&result)) {
        ADD_FAILURE() << problem->what;
        return {};
    }
    return std::get<Recording>(std::move(result));
}

TEST(RecordingReaderTest, ReadsBackWhatIsWritten) {
    RecordingHeader header;
    header.program = "1.0";
    header.levels = {{"levels/01 first.lvl", 1234, 0x0123456789abcdefULL},
                     {"caf\xc3\xa9\\new\x1b.lvl", 7, 0xffffffffffffffffULL}};
    header.startLevel = 2;
    const std::string text = recordingHeaderText(header) + keyLine({39, {120}}) + stateLine({40, 0x42}) +
                             keyLine({40, {224, 77}}) + keyLine({41, {0}}) + endLine(45);
    EXPECT_EQ(text.substr(0, text.find("start")),
              "brickstorm-recording 2\nprogram 1.0\nlevel 1 levels/01 first.lvl 1234 0123456789abcdef\n"
              "level 2 caf\xc3\xa9\\\\new\\x1b.lvl 7 ffffffffffffffff\n");
    const Recording recording = recordingOf(text);
    EXPECT_EQ(recording.header, header);
    ASSERT_EQ(recording.events.size(), 4U);
    EXPECT_EQ(recording.events[0].key(), (RecordedKey{39, {120}}));
    EXPECT_EQ(recording.events[1].kind(), RecordedEvent::Kind::State);
    EXPECT_EQ(recording.events[1].state(), (RecordedState{40, 0x42}));
    EXPECT_EQ(recording.events[2].key(), (RecordedKey{40, {224, 77}}));
    EXPECT_EQ(recording.events[3].key(), (RecordedKey{41, {0}}));
    EXPECT_EQ(recording.end, 45);
    EXPECT_EQ(recording.lastTick(), 45);
}

// The first format named levels by their bytes; its recordings still read, as what they are.
TEST(RecordingReaderTest, BothFormatsAreRead) {
    for (const int version : {1, 2}) {
        const Recording recording =
            recordingOf("brickstorm-recording " + std::to_string(version) +
                        "\nprogram 1.0\nlevel 1 a.lvl 12 00000000000000ff\nstart 1\nkey 3 119\nend 9\n");
        EXPECT_EQ(recording.header.version, version);
        EXPECT_EQ(recording.header.levels.front(), (RecordedLevel{"a.lvl", 12, 0xff}));
        EXPECT_EQ(recordingHeaderText(recording.header).substr(0, 22),
                  "brickstorm-recording " + std::to_string(version));
    }
}

// A key line may end in the key's name, for a person reading the file; the reader leaves it out.
TEST(RecordingReaderTest, AKeysNameAfterItIsLeftOut) {
    const Recording recording = recordingOf(
        body("key 26 120  # x\nkey 27 224 77  # Right\nkey 28 35 # #\nkey 29 32  # Space  \nkey 30 119 #\n"));
    ASSERT_EQ(recording.events.size(), 5U);
    EXPECT_EQ(recording.events[0].key(), (RecordedKey{26, {120}}));
    EXPECT_EQ(recording.events[1].key(), (RecordedKey{27, {224, 77}}));
    EXPECT_EQ(recording.events[2].key(), (RecordedKey{28, {35}}));
    EXPECT_EQ(recording.events[3].key(), (RecordedKey{29, {32}}));
    EXPECT_EQ(recording.events[4].key(), (RecordedKey{30, {119}}));
}

TEST(RecordingReaderTest, KeyLinesNameTheirKeys) {
    EXPECT_EQ(keyLine({26, {120}}, true), "key 26 120  # x\n");
    EXPECT_EQ(keyLine({26, {120}}), "key 26 120\n");
    const std::pair<KeyCodes, const char*> names[] = {
        {{' '}, "Space"},  {{'#'}, "#"},         {{3}, "Ctrl+C"}, {{224, 72}, "Up"}, {{224, 80}, "Down"},
        {{0, 75}, "Left"}, {{224, 77}, "Right"}, {{224, 83}, ""}, {{200}, ""},       {{127}, ""},
    };
    for (const auto& [codes, name] : names) {
        EXPECT_EQ(keyName(codes), name) << codes[0];
        // Whatever the name, the line reads back as the key.
        RecordedKey key{5, codes};
        EXPECT_EQ(recordingOf(body(keyLine(key, true))).events.front().key(), key) << keyLine(key, true);
    }
}

// Read in pieces as a file comes, cut anywhere (inside a line, inside a CRLF), a recording reads
// as it does whole, and a line cut short at the very end is still left out.
TEST(RecordingReaderTest, ReadInPiecesItReadsTheSame) {
    const std::string text =
        "brickstorm-recording 2\r\nprogram 1.0\r\nlevels built-in\r\nstart 1\r\n"
        "key 3 119  # w\r\nstate 20 0000000000000007\r\nkey 21 224 77\r\nkey 22 11";
    const Recording whole = recordingOf(text);
    ASSERT_EQ(whole.events.size(), 3U);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        for (std::size_t second = cut; second <= text.size(); second += 7) {
            RecordingStream stream;
            EXPECT_TRUE(stream.take(text.substr(0, cut)));
            EXPECT_TRUE(stream.take(text.substr(cut, second - cut)));
            EXPECT_TRUE(stream.take(text.substr(second)));
            RecordingReadResult read = stream.finish();
            ASSERT_TRUE(std::holds_alternative<Recording>(read)) << cut << " " << second;
            EXPECT_EQ(std::get<Recording>(read).events, whole.events) << cut << " " << second;
        }
    }
}

// A replay keeps every line of its recording, so the lines are counted and capped: a file
// made of millions of short lines is refused, with the line where it goes past the cap.
TEST(RecordingReaderTest, LinesBeyondTheCapAreRefused) {
    std::string text = kHeader;
    const std::int64_t headerLines = 4;
    for (std::int64_t line = headerLines; line <= kMostRecordingLines; ++line) {
        text += "key 1 9\n";
    }
    // The line past the cap is the one refused: every line up to it was taken.
    EXPECT_EQ(problemOf(text), (RecordingProblem{kMostRecordingLines + 1,
                                                 "more than 2000000 lines, the most a recording may hold"}));
}

// What a replay keeps of a line: no memory of its own beyond its place in the list.
TEST(RecordingReaderTest, ALineIsKeptInThirtyTwoBytes) { EXPECT_LE(sizeof(RecordedEvent), 32U); }

TEST(RecordingReaderTest, WithoutAnEndTheLastLineIsTheLastTick) {
    EXPECT_EQ(recordingOf(std::string(kHeader) + "key 3 120\nstate 20 0000000000000001\n").lastTick(), 20);
    EXPECT_EQ(recordingOf(kHeader).lastTick(), 0);
}

TEST(RecordingReaderTest, CrlfLineEndsAreRead) {
    const Recording recording = recordingOf(
        "brickstorm-recording 1\r\nprogram 1.0\r\nlevels built-in\r\nstart 3\r\nkey 7 119\r\nend 9\r\n");
    EXPECT_EQ(recording.header.startLevel, 3);
    EXPECT_EQ(recording.end, 9);
}

TEST(RecordingReaderTest, ALastLineCutShortIsLeftOut) {
    // "key 152 11" may be the first part of "key 152 119": it is not played.
    const Recording recording = recordingOf(std::string(kHeader) + "key 150 120\nkey 152 11");
    ASSERT_EQ(recording.events.size(), 1U);
    EXPECT_EQ(recording.lastTick(), 150);
}

struct DamagedCase {
    const char* name;
    std::string text;
    RecordingProblem problem;
};

class DamagedRecordingTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedRecordingTest, IsRefusedWithItsLineAndWhatIsWrong) {
    EXPECT_EQ(problemOf(GetParam().text), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRecordingTest,
    ::testing::Values(
        DamagedCase{"Empty", "", {1, "not a recording: the file is empty"}},
        DamagedCase{"LevelFile",
                    "001 002 002\nbb\nE\np\n",
                    {1, "not a recording: it does not begin with 'brickstorm-recording'"}},
        DamagedCase{"Version3",
                    "brickstorm-recording 3\n",
                    {1, "unknown format version '3': this program reads versions 1 to 2"}},
        DamagedCase{"Version0",
                    "brickstorm-recording 0\n",
                    {1, "unknown format version '0': this program reads versions 1 to 2"}},
        DamagedCase{"VersionWord",
                    "brickstorm-recording one\x1b\n",
                    {1, "unknown format version 'one\\x1b': this program reads versions 1 to 2"}},
        DamagedCase{"NoProgram",
                    "brickstorm-recording 1\nlevels built-in\n",
                    {2, "damaged line 'levels built-in': expected 'program VERSION'"}},
        DamagedCase{"NoLevels",
                    "brickstorm-recording 1\nprogram 1.0\nstart 1\n",
                    {3, "damaged line 'start 1': expected 'levels built-in' or 'level 1 NAME SIZE HASH'"}},
        DamagedCase{"LevelOutOfOrder",
                    "brickstorm-recording 1\nprogram 1.0\nlevel 1 a.lvl 3 0000000000000001\n"
                    "level 3 b.lvl 3 0000000000000001\n",
                    {4,
                     "damaged line 'level 3 b.lvl 3 0000000000000001': expected 'level 2 NAME SIZE HASH' "
                     "or 'start LEVEL'"}},
        DamagedCase{
            "LevelShortHash",
            "brickstorm-recording 1\nprogram 1.0\nlevel 1 a.lvl 3 01\n",
            {3, "damaged line 'level 1 a.lvl 3 01': expected 'levels built-in' or 'level 1 NAME SIZE HASH'"}},
        DamagedCase{"LevelRawControlByte",
                    "brickstorm-recording 1\nprogram 1.0\nlevel 1 a\x07.lvl 3 0000000000000001\n",
                    {3,
                     "damaged line 'level 1 a\\x07.lvl 3 0000000000000001': expected 'levels built-in' or "
                     "'level 1 NAME SIZE HASH'"}},
        DamagedCase{"StartZero",
                    "brickstorm-recording 1\nprogram 1.0\nlevels built-in\nstart 0\n",
                    {4, "damaged line 'start 0': expected 'start LEVEL', a level from 1 to 999"}},
        DamagedCase{"StartBeyondTheFiles",
                    "brickstorm-recording 1\nprogram 1.0\nlevel 1 a.lvl 3 0000000000000001\nstart 2\n",
                    {4, "damaged line 'start 2': the run cannot start at level 2 of 1 level files"}},
        DamagedCase{"HeaderCutShort",
                    "brickstorm-recording 1\nprogram 1.0\nlevels built-in\n",
                    {4, "the recording ends before its 'start' line"}},
        DamagedCase{
            "UnknownLine",
            body("jump 3\n"),
            {5, "damaged line 'jump 3': expected 'key TICK CODE...', 'state TICK HASH' or 'end TICK'"}},
        DamagedCase{
            "KeyWithoutCode",
            body("key 3\n"),
            {5,
             "damaged line 'key 3': expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick from 0 to "
             "999999999, codes from 0 to 255 and a prefix 0 or 224"}},
        DamagedCase{
            "KeyCodeTooLarge",
            body("key 3 256\n"),
            {5,
             "damaged line 'key 3 256': expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick from 0 "
             "to 999999999, codes from 0 to 255 and a prefix 0 or 224"}},
        DamagedCase{
            "TwoCodesWithoutPrefix",
            body("key 3 119 119\n"),
            {5,
             "damaged line 'key 3 119 119': expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick "
             "from 0 to 999999999, codes from 0 to 255 and a prefix 0 or 224"}},
        DamagedCase{
            "NegativeTick",
            body("key -3 119\n"),
            {5,
             "damaged line 'key -3 119': expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick from "
             "0 to 999999999, codes from 0 to 255 and a prefix 0 or 224"}},
        DamagedCase{"TickTooLarge",
                    body("end 1000000000\n"),
                    {5, "damaged line 'end 1000000000': expected 'end TICK', a tick from 0 to 999999999"}},
        DamagedCase{"StateHashNotHex",
                    body("state 20 000000000000000g\n"),
                    {5,
                     "damaged line 'state 20 000000000000000g': expected 'state TICK HASH', a tick from 0 to "
                     "999999999 and 16 hexadecimal digits"}},
        DamagedCase{
            "DoubleBlank",
            body("key 3  119\n"),
            {5,
             "damaged line 'key 3  119': expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick from "
             "0 to 999999999, codes from 0 to 255 and a prefix 0 or 224"}},
        DamagedCase{"LongLineShownInPart",
                    body(std::string(100, 'z') + "\n"),
                    {5, "damaged line '" + std::string(60, 'z') +
                            "'...: expected 'key TICK CODE...', 'state TICK HASH' or 'end TICK'"}},
        DamagedCase{
            "TicksGoBack", body("key 30 119\nkey 29 119\n"), {6, "ticks go back: tick 29 after tick 30"}},
        DamagedCase{"StateAfterAKeyOfItsTick",
                    body("key 40 119\nstate 40 0000000000000001\n"),
                    {6, "ticks go back: the state of tick 40 after a key of that tick"}},
        DamagedCase{"EndBeforeTheLastLine",
                    body("state 40 0000000000000001\nend 39\n"),
                    {6, "ticks go back: the end at tick 39 after tick 40"}},
        DamagedCase{"LineAfterTheEnd", body("end 5\nkey 6 119\n"), {6, "a line after the end"}}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

TEST(DisplayTextTest, UnescapedIsTheReverseOfEscaped) {
    for (const std::string text :
         {"plain", "a\\b", "tab\there", "\x1b[2J", "caf\xc3\xa9", "broken \xc3", ""}) {
        EXPECT_EQ(unescapedFromDisplay(escapedForDisplay(text)), text) << escapedForDisplay(text);
    }
    // Only what escaping writes: a lone backslash, a short or capital escape, a raw control byte.
    for (const char* shown : {"a\\", "\\x1", "\\xZZ", "\\X41", "\\x1B", "raw\x07", "\\q"}) {
        EXPECT_EQ(unescapedFromDisplay(shown), std::nullopt) << shown;
    }
}

}  // namespace
}  // namespace brickstorm
