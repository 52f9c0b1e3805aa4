#include "app/recording_files.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "world/fnv1a.h"

namespace brickstorm::app {
namespace {

// A floor of two cells, the start near and the exit one step ahead.
constexpr std::string_view kOneStep = "001 002 002 bb E p\n";

// Files by name, as a stand-in for the file system.
FileReader filesOf(const std::map<std::string, std::string>& files) {
    return [files](const std::string& path, const platform::FilePieceReader& take) {
        const auto found = files.find(path);
        if (found == files.end()) {
            return platform::FileReadResult{platform::FileReadStatus::Missing, {}};
        }
        take(found->second);
        return platform::FileReadResult{};
    };
}

Recording recordedWith(std::vector<RecordedLevel> levels, std::string program = programVersion()) {
    Recording recording;
    recording.header.program = std::move(program);
    recording.header.levels = std::move(levels);
    return recording;
}

// The level as played: its level string, which neither comments nor layout change.
constexpr std::string_view kOneStepPlayed = "001002002bbEp";

RecordedLevel oneStepAs(const std::string& name) {
    return {name, static_cast<std::int64_t>(kOneStepPlayed.size()), fnv1a64(kOneStepPlayed)};
}

// As the first format of recordings named it: by the file's bytes.
RecordedLevel oneStepBytesAs(const std::string& name) {
    return {name, static_cast<std::int64_t>(kOneStep.size()), fnv1a64(kOneStep)};
}

std::vector<std::string> problemsOf(const Recording& recording, const std::vector<std::string>& files,
                                    const std::map<std::string, std::string>& onDisk,
                                    bool anyVersion = false) {
    const LevelFilesReport levels = readLevelFiles(files, true, filesOf(onDisk));
    return replayProblems("run.rec", recording, files, levels, anyVersion);
}

TEST(RecordingFilesTest, TheHeaderNamesEachLevelAsPlayed) {
    const LevelFilesReport levels =
        readLevelFiles({"a.lvl"}, true, filesOf({{"a.lvl", std::string(kOneStep)}}));
    const RecordingHeader header = recordingHeader({"a.lvl"}, levels, 1);
    EXPECT_EQ(header.program, programVersion());
    EXPECT_EQ(header.levels, std::vector<RecordedLevel>{oneStepAs("a.lvl")});
}

TEST(RecordingFilesTest, TheRecordedFilesUnlessOthersAreGiven) {
    const Recording recording = recordedWith({oneStepAs("a.lvl"), oneStepAs("b.lvl")});
    EXPECT_EQ(replayLevelFiles(recording, {}), (std::vector<std::string>{"a.lvl", "b.lvl"}));
    EXPECT_EQ(replayLevelFiles(recording, {"x/1.lvl", "x/2.lvl"}),
              (std::vector<std::string>{"x/1.lvl", "x/2.lvl"}));
}

TEST(RecordingFilesTest, WhyARecordingCannotBeReplayed) {
    const std::string one(kOneStep);
    const Recording two = recordedWith({oneStepAs("a.lvl"), oneStepAs("b\x1b.lvl")});
    EXPECT_TRUE(problemsOf(two, {"a.lvl", "b\x1b.lvl"}, {{"a.lvl", one}, {"b\x1b.lvl", one}}).empty());
    EXPECT_EQ(problemsOf(two, {"a.lvl", "b\x1b.lvl"}, {{"a.lvl", one}}),
              std::vector<std::string>{"brickstorm: run.rec:4: level file 'b\\x1b.lvl' is missing\n"});
    EXPECT_EQ(problemsOf(two, {"a.lvl", "b\x1b.lvl"}, {{"a.lvl", "001 002 002 bb E b\n"}, {"b\x1b.lvl", one}}),
              std::vector<std::string>{"brickstorm: a.lvl: no player start: the level needs one p\n"});
    EXPECT_EQ(problemsOf(two, {"a.lvl", "b\x1b.lvl"}, {{"a.lvl", "001 002 002 bb p E\n"}, {"b\x1b.lvl", one}}),
              std::vector<std::string>{
                  "brickstorm: run.rec:3: level file 'a.lvl' has changed since the recording\n"});
    EXPECT_EQ(problemsOf(two, {"a.lvl", "b\x1b.lvl"}, {{"a.lvl", "001 001 001 E"}, {"b\x1b.lvl", one}}),
              std::vector<std::string>{"brickstorm: a.lvl: no player start: the level needs one p\n"});
    EXPECT_EQ(problemsOf(two, {"a.lvl"}, {{"a.lvl", one}}),
              std::vector<std::string>{
                  "brickstorm: run.rec:3: recorded with 2 level files, and 1 level file is given\n"});
    EXPECT_EQ(problemsOf(recordedWith({}), {"a.lvl"}, {{"a.lvl", one}}),
              std::vector<std::string>{
                  "brickstorm: run.rec:3: recorded with the built-in levels, and 1 level file is given\n"});
}

// A comment or a blank written into a level later changes nothing that is played: its recordings
// stay good. A changed cell is another level. A recording of the first format knew only the
// bytes, and still goes by them.
TEST(RecordingFilesTest, CommentsAndLayoutKeepARecordingGood) {
    const std::string one(kOneStep);
    const std::string commented =
        "# One step\n# Walk.\n001 002 002\n\n# the floor\nbb\n\r\nE\n# the start\np\n";
    const std::string otherCell = "002 002 002 bbbb E0 p0\n";
    EXPECT_TRUE(problemsOf(recordedWith({oneStepAs("a.lvl")}), {"a.lvl"}, {{"a.lvl", commented}}).empty());
    EXPECT_TRUE(
        problemsOf(recordedWith({oneStepAs("a.lvl")}), {"a.lvl"}, {{"a.lvl", one + " \n# more\n"}}).empty());
    EXPECT_EQ(problemsOf(recordedWith({oneStepAs("a.lvl")}), {"a.lvl"}, {{"a.lvl", otherCell}}),
              std::vector<std::string>{
                  "brickstorm: run.rec:3: level file 'a.lvl' has changed since the recording\n"});

    Recording first = recordedWith({oneStepBytesAs("a.lvl")});
    first.header.version = 1;
    EXPECT_TRUE(problemsOf(first, {"a.lvl"}, {{"a.lvl", one}}).empty());
    EXPECT_EQ(problemsOf(first, {"a.lvl"}, {{"a.lvl", commented}}),
              std::vector<std::string>{
                  "brickstorm: run.rec:3: level file 'a.lvl' has changed since the recording\n"});
}

TEST(RecordingFilesTest, AnotherVersionIsNamedAndReplayedOnlyWhenAsked) {
    const Recording old = recordedWith({}, "0.9");
    EXPECT_EQ(
        problemsOf(old, {}, {}),
        std::vector<std::string>{"brickstorm: run.rec:2: recorded by brickstorm 0.9, and this is brickstorm " +
                                 programVersion() +
                                 ": a replay may go out of step (--replay-any-version replays it anyway)\n"});
    EXPECT_TRUE(problemsOf(old, {}, {}, true).empty());
}

TEST(RecordingFilesTest, ReadingARecordingFile) {
    const std::string good = "brickstorm-recording 2\nprogram 1.0\nlevels built-in\nstart 1\nend 3\n";
    EXPECT_EQ(readRecordingFile("run.rec", filesOf({{"run.rec", good}})).recording->end, 3);
    EXPECT_EQ(readRecordingFile("gone\x1b.rec", filesOf({})).problem,
              "brickstorm: gone\\x1b.rec: no such file\n");
    EXPECT_EQ(readRecordingFile("run.rec", filesOf({{"run.rec", "start 1\n"}})).problem,
              "brickstorm: run.rec:1: not a recording: it does not begin with 'brickstorm-recording'\n");
    // An endless file is not read to its end.
    std::int64_t offered = 0;
    const RecordingFileResult endless =
        readRecordingFile("/dev/zero", [&](const std::string&, const platform::FilePieceReader& take) {
            const std::string piece(1 << 16, '\0');
            while (take(piece)) {
                offered += static_cast<std::int64_t>(piece.size());
            }
            return platform::FileReadResult{platform::FileReadStatus::Stopped, {}};
        });
    EXPECT_EQ(endless.problem,
              "brickstorm: /dev/zero: larger than 67108864 bytes, the most a recording may hold\n");
    EXPECT_LE(offered, std::int64_t{64} << 20);
}

}  // namespace
}  // namespace brickstorm::app
