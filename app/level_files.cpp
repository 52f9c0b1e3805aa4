#include "app/level_files.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

#include "world/display_text.h"
#include "world/fnv1a.h"

namespace brickstorm::app {

namespace {

constexpr const char* kNoSuchFile = "no such file";

CheckedLevelFile readLevelFile(const std::string& file, const FileReader& read, LevelFileIdentity& identity) {
    LevelFileParser parser;
    Fnv1a64 hash;
    const platform::FileReadResult result = read(file, [&](std::string_view piece) {
        hash.add(piece);
        identity.size += static_cast<std::int64_t>(piece.size());
        return parser.take(piece);
    });
    identity.hash = hash.value();
    if (auto problem = readingProblem(result)) {
        return std::vector<LevelFileProblem>{*problem};
    }
    return parser.finishNamingEveryProblem();
}

std::string enemiesText(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " enemy" : " enemies");
}

}  // namespace

std::optional<LevelFileProblem> readingProblem(const platform::FileReadResult& result) {
    switch (result.status) {
    case platform::FileReadStatus::Missing: return LevelFileProblem{std::nullopt, kNoSuchFile};
    case platform::FileReadStatus::Directory:
        return LevelFileProblem{std::nullopt, "a directory, not a level file"};
    case platform::FileReadStatus::Unreadable:
        return LevelFileProblem{std::nullopt, "cannot be read: " + escapedForDisplay(result.reason)};
    case platform::FileReadStatus::Read:
    case platform::FileReadStatus::Stopped: break;
    }
    return std::nullopt;
}

LevelFilesReport readLevelFiles(const std::vector<std::string>& files, bool keepLevels, const FileReader& read,
                                std::int64_t cellsInAll) {
    LevelFilesReport report;
    std::int64_t cellsSoFar = 0;
    for (const std::string& file : files) {
        LevelFileIdentity identity;
        CheckedLevelFile result = readLevelFile(file, read, identity);
        if (auto* level = std::get_if<LevelFileLevel>(&result)) {
            cellsSoFar += std::int64_t{level->sizeX} * level->sizeY * level->sizeZ;
            if (cellsSoFar > cellsInAll) {
                result = std::vector<LevelFileProblem>{
                    {std::nullopt, "with this file the levels hold more than " + std::to_string(cellsInAll) +
                                       " cells together, the most the game keeps"}};
            }
        }
        report.identities.push_back(identity);
        const auto* good = std::get_if<LevelFileLevel>(&result);
        report.playedIdentities.push_back(good != nullptr ? playedIdentity(good->text) : LevelFileIdentity{});
        if (const auto* problems = std::get_if<std::vector<LevelFileProblem>>(&result)) {
            std::string text;
            for (const LevelFileProblem& problem : *problems) {
                text += problemLine(file, problem);
            }
            report.lines.push_back({true, std::move(text), problems->front().what == kNoSuchFile});
            report.allGood = false;
            continue;
        }
        auto& level = std::get<LevelFileLevel>(result);
        report.lines.push_back({false, summaryLine(file, level)});
        if (keepLevels) {
            report.levelTexts.push_back(std::move(level.text));
            report.titles.push_back(std::move(level.title));
        }
    }
    return report;
}

LevelFileIdentity playedIdentity(const std::string& levelText) {
    Fnv1a64 hash;
    hash.add(levelText);
    return {static_cast<std::int64_t>(levelText.size()), hash.value()};
}

std::string problemLine(const std::string& file, const LevelFileProblem& problem) {
    std::string line = "brickstorm: " + escapedForDisplay(file) + ":";
    if (problem.place) {
        line += std::to_string(problem.place->line) + ":" + std::to_string(problem.place->column) + ":";
    }
    return line + " " + problem.what + "\n";
}

std::string summaryLine(const std::string& file, const LevelFileLevel& level) {
    return escapedForDisplay(file) + ": " + std::to_string(level.sizeX) + " x " + std::to_string(level.sizeY) +
           " x " + std::to_string(level.sizeZ) + " cells, " + enemiesText(level.enemies) + "\n";
}

}  // namespace brickstorm::app
