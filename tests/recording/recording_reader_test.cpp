#include "recording/recording_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "world/display_text.h"

namespace brickstorm {
namespace {

constexpr const char* kHeader = "brickstorm-recording 1\nprogram 1.0\nlevels built-in\nstart 1\n";

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
              "brickstorm-recording 1\nprogram 1.0\nlevel 1 levels/01 first.lvl 1234 0123456789abcdef\n"
              "level 2 caf\xc3\xa9\\\\new\\x1b.lvl 7 ffffffffffffffff\n");
    const Recording recording = recordingOf(text);
    EXPECT_EQ(recording.header, header);
    ASSERT_EQ(recording.events.size(), 4U);
    EXPECT_EQ(recording.events[0].key, (RecordedKey{39, {120}}));
    EXPECT_EQ(recording.events[1].kind, RecordedEvent::Kind::State);
    EXPECT_EQ(recording.events[1].state, (RecordedState{40, 0x42}));
    EXPECT_EQ(recording.events[2].key, (RecordedKey{40, {224, 77}}));
    EXPECT_EQ(recording.events[3].key, (RecordedKey{41, {0}}));
    EXPECT_EQ(recording.end, 45);
    EXPECT_EQ(recording.lastTick(), 45);
}

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

std::string body(const std::string& lines) { return std::string(kHeader) + lines; }

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRecordingTest,
    ::testing::Values(
        DamagedCase{"Empty", "", {1, "not a recording: the file is empty"}},
        DamagedCase{"LevelFile",
                    "001 002 002\nbb\nE\np\n",
                    {1, "not a recording: it does not begin with 'brickstorm-recording'"}},
        DamagedCase{"Version2",
                    "brickstorm-recording 2\n",
                    {1, "unknown format version '2': this program reads version 1"}},
        DamagedCase{"VersionWord",
                    "brickstorm-recording one\x1b\n",
                    {1, "unknown format version 'one\\x1b': this program reads version 1"}},
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
