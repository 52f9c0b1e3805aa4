#include "app/recording_files.h"

#include <cstddef>
#include <cstdint>
#include <variant>

#include "platform/file_writing.h"
#include "recording/recording_reader.h"
#include "world/display_text.h"

#ifndef BRICKSTORM_VERSION
#define BRICKSTORM_VERSION "unknown"
#endif

namespace brickstorm::app {

namespace {

// The header's lines: the format, the program, then one for each level file.
constexpr std::int64_t kProgramLine = 2;
constexpr std::int64_t kFirstLevelLine = 3;

std::string recordingProblemLine(const std::string& recordingName, std::optional<std::int64_t> line,
                                 const std::string& what) {
    std::string text = "brickstorm: " + escapedForDisplay(recordingName) + ":";
    if (line) {
        text += std::to_string(*line) + ":";
    }
    return text + " " + what + "\n";
}

std::string filesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " level file" : " level files");
}

}  // namespace

std::string programVersion() { return BRICKSTORM_VERSION; }

RecordingHeader recordingHeader(const std::vector<std::string>& files, const LevelFilesReport& levels,
                                int startLevel) {
    RecordingHeader header;
    header.program = programVersion();
    const std::vector<LevelFileIdentity>& identities = levels.playedIdentities;
    for (std::size_t i = 0; i < files.size() && i < identities.size(); ++i) {
        header.levels.push_back({files[i], identities[i].size, identities[i].hash});
    }
    header.startLevel = startLevel;
    return header;
}

RecordingFileResult readRecordingFile(const std::string& path, const FileReader& read) {
    // Read as it comes: only the lines are kept, never the whole text beside them.
    RecordingStream stream;
    std::int64_t bytes = 0;
    bool tooLarge = false;
    const platform::FileReadResult result = read(path, [&](std::string_view piece) {
        bytes += static_cast<std::int64_t>(piece.size());
        if (bytes > kMaxRecordingBytes) {
            tooLarge = true;
            return false;
        }
        return stream.take(piece);
    });
    switch (result.status) {
    case platform::FileReadStatus::Missing:
        return {std::nullopt, recordingProblemLine(path, {}, "no such file")};
    case platform::FileReadStatus::Directory:
        return {std::nullopt, recordingProblemLine(path, {}, "a directory, not a recording")};
    case platform::FileReadStatus::Unreadable:
        return {std::nullopt,
                recordingProblemLine(path, {}, "cannot be read: " + escapedForDisplay(result.reason))};
    case platform::FileReadStatus::Read:
    case platform::FileReadStatus::Stopped: break;
    }
    if (tooLarge) {
        return {std::nullopt, recordingProblemLine(path, {},
                                                   "larger than " + std::to_string(kMaxRecordingBytes) +
                                                       " bytes, the most a recording may hold")};
    }
    RecordingReadResult recording = stream.finish();
    if (const auto* problem = std::get_if<RecordingProblem>(&recording)) {
        return {std::nullopt, recordingProblemLine(path, problem->line, problem->what)};
    }
    return {std::get<Recording>(std::move(recording)), {}};
}

std::vector<std::string> replayLevelFiles(const Recording& recording, const std::vector<std::string>& given) {
    if (!given.empty()) {
        return given;
    }
    std::vector<std::string> files;
    for (const RecordedLevel& level : recording.header.levels) {
        files.push_back(level.name);
    }
    return files;
}

std::vector<std::string> replayProblems(const std::string& recordingName, const Recording& recording,
                                        const std::vector<std::string>& files, const LevelFilesReport& levels,
                                        bool anyVersion) {
    std::vector<std::string> problems;
    const RecordingHeader& header = recording.header;
    if (header.program != programVersion() && !anyVersion) {
        problems.push_back(recordingProblemLine(
            recordingName, kProgramLine,
            "recorded by brickstorm " + escapedForDisplay(header.program) + ", and this is brickstorm " +
                programVersion() + ": a replay may go out of step (--replay-any-version replays it anyway)"));
    }
    const std::vector<RecordedLevel>& recorded = header.levels;
    if (files.size() != recorded.size()) {
        const std::string made = recorded.empty() ? "the built-in levels" : filesText(recorded.size());
        problems.push_back(recordingProblemLine(recordingName, kFirstLevelLine,
                                                "recorded with " + made + ", and " + filesText(files.size()) +
                                                    (files.size() == 1 ? " is" : " are") + " given"));
        return problems;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto line = kFirstLevelLine + static_cast<std::int64_t>(i);
        const std::string name = quotedForDisplay(files[i]);
        if (levels.lines[i].missing) {
            problems.push_back(
                recordingProblemLine(recordingName, line, "level file " + name + " is missing"));
        } else if (levels.lines[i].problem) {
            problems.push_back(levels.lines[i].text);
        } else if ((header.version >= 2 ? levels.playedIdentities[i] : levels.identities[i]) !=
                   LevelFileIdentity{recorded[i].size, recorded[i].hash}) {
            problems.push_back(recordingProblemLine(
                recordingName, line, "level file " + name + " has changed since the recording"));
        }
    }
    return problems;
}

std::optional<std::string> createRecordingFile(const std::string& path, const RecordingHeader& header) {
    // A device or a pipe is refused rather than written as a stream: it cannot be replayed
    // from, and a rename over one would replace it.
    if (const auto kind = platform::unwritableKind(path)) {
        return recordingProblemLine(
            path, {}, escapedForDisplay(*kind) + ": a recording is only written to a regular file");
    }
    const platform::FileWriteResult result = platform::writeFileAtomically(path, recordingHeaderText(header));
    if (!result.written) {
        return recordingProblemLine(path, {}, escapedForDisplay(result.problem));
    }
    return std::nullopt;
}

std::string cutOffLine(const std::string& recordingName, std::int64_t tick) {
    return recordingProblemLine(recordingName, {},
                                "the recording is cut off at tick " + std::to_string(tick) +
                                    ": it has no end line (the disk was full, or the game was killed), "
                                    "so the run is not whole");
}

std::string outOfStepLine(const std::string& recordingName, std::int64_t tick) {
    return recordingProblemLine(recordingName, {},
                                "the replay went out of step at tick " + std::to_string(tick));
}

}  // namespace brickstorm::app
