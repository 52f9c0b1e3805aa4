#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_reading.h"
#include "world/level_file.h"
#include "world/level_table.h"

// The level files named on the command line, read and checked before anything else happens.
namespace brickstorm::app {

// How files are read: the platform's reader, or a stand-in in tests.
using FileReader =
    std::function<platform::FileReadResult(const std::string&, const platform::FilePieceReader&)>;

// What is said about one file: a line of summary for a good one, or a line for each thing that
// is wrong with a broken one.
struct ReportLine {
    bool problem = false;
    std::string text;      // whole lines, each ending in a line break
    bool missing = false;  // the problem is that there is no such file
};

// What tells a level file from another: its size and a hash of its bytes (FNV-1a 64).
struct LevelFileIdentity {
    std::int64_t size = 0;
    std::uint64_t hash = 0;

    friend bool operator==(const LevelFileIdentity&, const LevelFileIdentity&) = default;
};

// What reading all the level files found.
struct LevelFilesReport {
    std::vector<std::string> levelTexts;        // the good files' level strings, in order, when kept
    std::vector<LevelTitle> titles;             // their names and hints, beside them
    std::vector<LevelFileIdentity> identities;  // one for each file, in order: of the bytes read
    // One for each file, in order: of the level as played (its level string), which comments and
    // layout do not change; none (0, 0) for a broken file.
    std::vector<LevelFileIdentity> playedIdentities;
    std::vector<ReportLine> lines;  // one for each file, in the files' order
    bool allGood = true;
};

// Reads and checks every file in order: each broken file gets a message for each of its
// problems (for one of its shape, that one alone), and the good ones a summary. With `keepLevels` the level
// strings are kept for the game. The files together may hold at most `cellsInAll` cells.
LevelFilesReport readLevelFiles(const std::vector<std::string>& files, bool keepLevels,
                                const FileReader& read = platform::readFilePieces,
                                std::int64_t cellsInAll = kMaxCellsInAllLevels);

// The problem a file has before its text is even looked at (none, a directory, unreadable), if
// any.
std::optional<LevelFileProblem> readingProblem(const platform::FileReadResult& result);

// The identity of a level as played: the size and hash of its level string.
LevelFileIdentity playedIdentity(const std::string& levelText);

// "brickstorm: FILE:LINE:COLUMN: what" (or without the place) and a line break; the name escaped.
std::string problemLine(const std::string& file, const LevelFileProblem& problem);

// "FILE: X x Y x Z cells, N enemies" and a line break; the name escaped.
std::string summaryLine(const std::string& file, const LevelFileLevel& level);

}  // namespace brickstorm::app
