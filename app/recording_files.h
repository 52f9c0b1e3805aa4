#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/level_files.h"
#include "recording/recording.h"

// Recordings named on the command line: the header of a run to be recorded, and a recording to
// replay, read and matched with its level files before the terminal is touched.
namespace brickstorm::app {

// The program's version, as --version shows it after the name.
std::string programVersion();

// The header of a run played with `files` (as `levels` read them) from `startLevel`: each level
// named by the level as played.
RecordingHeader recordingHeader(const std::vector<std::string>& files, const LevelFilesReport& levels,
                                int startLevel);

// A recording read from a file, or the one message that says why it cannot be used.
struct RecordingFileResult {
    std::optional<Recording> recording;
    std::string problem;  // "brickstorm: FILE:LINE: what" and a line break; the name escaped
};

RecordingFileResult readRecordingFile(const std::string& path,
                                      const FileReader& read = platform::readFilePieces);

// The level files a replay plays: those given on its command line in place of the recorded
// ones, or else the recorded names.
std::vector<std::string> replayLevelFiles(const Recording& recording, const std::vector<std::string>& given);

// A message for each reason why `recording` (read from `recordingName`) cannot be replayed with
// `files` as `levels` found them: another program version (unless `anyVersion`), a different
// number of files, a file missing, broken or changed since the run was recorded (its level as
// played, or for a recording of the first format its bytes). Each message is
// a line, with its line break.
std::vector<std::string> replayProblems(const std::string& recordingName, const Recording& recording,
                                        const std::vector<std::string>& files, const LevelFilesReport& levels,
                                        bool anyVersion);

// Makes the file at `path` a recording with just `header` in it, replacing any file there at
// once and whole; the problem line if that fails. Only a regular file (or a missing one, links
// followed) is written: a device, a pipe or a folder is refused and left as it is.
std::optional<std::string> createRecordingFile(const std::string& path, const RecordingHeader& header);

// "brickstorm: FILE: the recording is cut off at tick T: ..." and a line break; the name escaped.
std::string cutOffLine(const std::string& recordingName, std::int64_t tick);

// "brickstorm: FILE: the replay went out of step at tick T" and a line break; the name escaped.
std::string outOfStepLine(const std::string& recordingName, std::int64_t tick);

}  // namespace brickstorm::app
