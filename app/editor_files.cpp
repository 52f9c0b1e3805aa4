#include "app/editor_files.h"

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "app/level_files.h"
#include "editor/level_writing.h"
#include "editor/recovery_name.h"
#include "platform/full_path.h"
#include "world/display_text.h"
#include "world/level_file.h"

namespace brickstorm::app {

namespace {

// A hash of a file's bytes, fed piece by piece wherever the pieces are cut: eight bytes at a
// time, so that checking the largest level before a save costs milliseconds. It tells that bytes
// changed by accident, not against someone forging a match.
class ContentHash {
public:
    void add(std::string_view bytes) {
        length_ += bytes.size();
        while (!bytes.empty() && filled_ != 0) {
            takeByte(bytes.front());
            bytes.remove_prefix(1);
        }
        while (bytes.size() >= sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data(), sizeof word);
            mix(word);
            bytes.remove_prefix(sizeof word);
        }
        for (const char byte : bytes) {
            takeByte(byte);
        }
    }

    std::uint64_t value() const {
        std::uint64_t last = state_;
        last ^= (pending_ << 8U) ^ filled_;
        last = (last ^ length_) * kMultiplier;
        return last ^ (last >> 29U);
    }

private:
    static constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;

    void takeByte(char byte) {
        pending_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(byte)) << (8U * filled_);
        if (++filled_ == sizeof(std::uint64_t)) {
            mix(pending_);
            pending_ = 0;
            filled_ = 0;
        }
    }

    void mix(std::uint64_t word) { state_ = std::rotl(state_ ^ word, 27) * kMultiplier; }

    std::uint64_t state_ = 0x6a09e667f3bcc908ULL;
    std::uint64_t pending_ = 0;
    unsigned filled_ = 0;
    std::uint64_t length_ = 0;
};

// The file read for editing, or its problem; Missing when there is none.
std::variant<EditableLevelFile, LevelFileProblem, platform::FileReadStatus> readForEditing(
    const std::string& file, ContentHash* hash = nullptr) {
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
    ContentHash hash;
    auto read = readForEditing(file, &hash);
    if (std::holds_alternative<platform::FileReadStatus>(read)) {
        return OpenedLevel{editor::EditedLevel::newLevel(newSize), false, std::nullopt};
    }
    if (const auto* problem = std::get_if<LevelFileProblem>(&read)) {
        return problemLine(file, *problem);
    }
    auto& opened = std::get<EditableLevelFile>(read);
    auto level = editor::EditedLevel::fromLevelString(opened.level.text, std::move(opened.leadingComments),
                                                      opened.layerComments);
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
    ContentHash hash;
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
    return editor::EditedLevel::fromLevelString(opened->level.text, std::move(opened->leadingComments),
                                                opened->layerComments);
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
