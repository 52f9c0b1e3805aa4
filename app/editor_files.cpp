#include "app/editor_files.h"

#include <chrono>
#include <utility>

#include "app/level_files.h"
#include "editor/level_writing.h"
#include "editor/recovery_name.h"
#include "platform/full_path.h"
#include "world/display_text.h"
#include "world/fnv1a.h"
#include "world/level_file.h"

namespace brickstorm::app {

namespace {

// The file read for editing, or its problem; Missing when there is none.
std::variant<EditableLevelFile, LevelFileProblem, platform::FileReadStatus> readForEditing(
    const std::string& file, Fnv1a64* hash = nullptr) {
    LevelFileParser parser(LevelFileUse::Edit);
    const platform::FileReadResult read = platform::readFilePieces(file, [&](std::string_view piece) {
        if (hash != nullptr) {
            hash->add(piece);
        }
        return parser.take(piece);
    });
    if (read.status == platform::FileReadStatus::Missing) {
        return platform::FileReadStatus::Missing;  // not a problem: a new level is made
    }
    if (auto problem = readingProblem(read)) {
        return std::move(*problem);
    }
    EditableLevelFileResult result = parser.finishForEditing();
    if (auto* problem = std::get_if<LevelFileProblem>(&result)) {
        return std::move(*problem);
    }
    return std::move(std::get<EditableLevelFile>(result));
}

// How long a second editor waits for the first to let go of the copy: not at all, as the first
// is in use and would not.
constexpr std::chrono::milliseconds kRecoveryLockWait{0};

}  // namespace

std::variant<OpenedLevel, std::string> openLevelFile(const std::string& file, editor::LevelSizes newSize) {
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(file);
    Fnv1a64 hash;
    auto read = readForEditing(file, &hash);
    if (std::holds_alternative<platform::FileReadStatus>(read)) {
        return OpenedLevel{editor::EditedLevel::newLevel(newSize), false, std::nullopt};
    }
    if (const auto* problem = std::get_if<LevelFileProblem>(&read)) {
        return problemLine(file, *problem);
    }
    auto& opened = std::get<EditableLevelFile>(read);
    auto level = editor::EditedLevel::fromLevelString(opened.level.text, std::move(opened.leadingComments));
    if (!level) {
        return problemLine(file, {std::nullopt, "not a level"});
    }
    std::optional<LevelFileOnDisk> onDisk;
    if (stamp) {
        onDisk = LevelFileOnDisk{*stamp, hash.value()};
    }
    return OpenedLevel{std::move(*level), true, onDisk};
}

std::optional<LevelFileOnDisk> levelFileOnDisk(const std::string& file) {
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(file);
    if (!stamp) {
        return std::nullopt;
    }
    Fnv1a64 hash;
    const platform::FileReadResult read = platform::readFilePieces(file, [&hash](std::string_view piece) {
        hash.add(piece);
        return true;
    });
    if (read.status != platform::FileReadStatus::Read) {
        return std::nullopt;
    }
    return LevelFileOnDisk{*stamp, hash.value()};
}

bool changedOnDisk(const std::string& file, const std::optional<LevelFileOnDisk>& known) {
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(file);
    if (!known || !stamp) {
        return stamp.has_value() != known.has_value();
    }
    // The stamp first: reading the bytes is only needed when it looks the same.
    return *stamp != known->stamp || levelFileOnDisk(file) != known;
}

std::optional<editor::EditedLevel> readEditableLevel(const std::string& file) {
    auto read = readForEditing(file);
    auto* opened = std::get_if<EditableLevelFile>(&read);
    if (opened == nullptr) {
        return std::nullopt;
    }
    return editor::EditedLevel::fromLevelString(opened->level.text, std::move(opened->leadingComments));
}

platform::FileWriteResult saveLevelFile(const std::string& file, const editor::EditedLevel& level,
                                        const std::string& recoveryPath, platform::FileWriteSteps& steps) {
    platform::BeforeWritingInPlace keepSafe;
    if (!recoveryPath.empty()) {
        keepSafe = [&] {
            platform::FileWriteResult copy = writeRecoveryCopy(recoveryPath, level);
            if (!copy) {
                copy.problem =
                    "it must be written in place, and the recovery copy that would keep it safe "
                    "meanwhile cannot be written: " +
                    copy.problem;
            }
            return copy;
        };
    }
    return platform::writeFileAtomically(file, editor::levelFileText(level), steps, keepSafe);
}

std::string recoveryPathFor(const std::string& file, const std::string& stateFolder) {
    if (stateFolder.empty()) {
        return {};
    }
    return stateFolder + "/" + editor::recoveryFileName(platform::fullPath(file));
}

platform::FileWriteResult writeRecoveryCopy(const std::string& path, const editor::EditedLevel& level,
                                            platform::FileWriteSteps& steps) {
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos) {
        if (auto made = platform::makeFolders(path.substr(0, slash)); !made) {
            return made;
        }
    }
    return platform::writeFileAtomically(path, editor::levelFileText(level), steps);
}

bool recoveryCopyIsNewer(const std::string& path, const std::optional<LevelFileOnDisk>& file) {
    const auto copy = platform::fileStamp(path);
    return copy && (!file || copy->modifiedNanoseconds > file->stamp.modifiedNanoseconds);
}

std::variant<platform::FileLock, std::string> lockRecoveryCopy(const std::string& file,
                                                               const std::string& recoveryPath) {
    if (recoveryPath.empty()) {
        return platform::FileLock{};
    }
    const auto slash = recoveryPath.find_last_of('/');
    if (slash != std::string::npos && !platform::makeFolders(recoveryPath.substr(0, slash))) {
        return platform::FileLock{};  // no copy can be written either: nothing to protect
    }
    platform::FileLock lock = platform::FileLock::take(recoveryPath + ".lock", kRecoveryLockWait);
    if (lock.state() == platform::FileLock::State::Busy) {
        return "brickstorm: " + escapedForDisplay(file) +
               ": being edited in another brickstorm (its recovery copy is that editor's); close that "
               "one first, or edit a copy under another name\n";
    }
    return lock;
}

}  // namespace brickstorm::app
