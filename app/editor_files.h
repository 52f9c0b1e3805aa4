#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "editor/edited_level.h"
#include "platform/file_reading.h"
#include "platform/file_writing.h"

// The editor's files: the level file it opens and saves, and the recovery copy kept while there
// are unsaved changes.
namespace brickstorm::app {

// A level file as the editor last read or wrote it: which file it was, when it was changed, and
// a hash of its bytes, so that a file changed since is seen even when the change kept its size
// and time (cp -p, touch -r, a file system with coarse times).
struct LevelFileOnDisk {
    platform::FileStamp stamp;
    std::uint64_t hash = 0;  // of its bytes

    friend bool operator==(const LevelFileOnDisk&, const LevelFileOnDisk&) = default;
};

// A level file opened for editing.
struct OpenedLevel {
    editor::EditedLevel level;
    bool exists = false;                   // false for a new level, not yet saved
    std::optional<LevelFileOnDisk> stamp;  // the file as it was read
};

// Opens `file`: its level when the loader takes its shape (whatever the problems of its
// contents), a new level of `newSize` when there is no such file, or the line to print when it
// cannot be used: "brickstorm: FILE:LINE:COLUMN: what", as the game says it.
std::variant<OpenedLevel, std::string> openLevelFile(const std::string& file, editor::LevelSizes newSize);

// Reads a level file for editing; nothing when it is missing or its shape is refused.
std::optional<editor::EditedLevel> readEditableLevel(const std::string& file);

// The file at `file` as it is now; nothing when there is none (or it cannot be read).
std::optional<LevelFileOnDisk> levelFileOnDisk(const std::string& file);

// True when the file at `file` is no longer the one `known` describes: another file, changed, or
// gone; or, for a level never saved (`known` empty), when a file has appeared there.
bool changedOnDisk(const std::string& file, const std::optional<LevelFileOnDisk>& known);

// Writes `level` to `file` whole, or says why not ("cannot write the new file: No space left on
// device"); the old file is untouched on failure. Where the file must be written in place (its
// hard links, owner or folder would not survive a rename), the recovery copy at `recoveryPath`
// gets the same text first, so that a crash in the middle of the write loses nothing.
platform::FileWriteResult saveLevelFile(const std::string& file, const editor::EditedLevel& level,
                                        const std::string& recoveryPath = {},
                                        platform::FileWriteSteps& steps = platform::systemFileWriteSteps());

// Where the recovery copy of `file` lives, in the state folder; empty when there is no such
// folder (no home).
std::string recoveryPathFor(const std::string& file, const std::string& stateFolder);

// Writes the recovery copy, making its folder first.
platform::FileWriteResult writeRecoveryCopy(
    const std::string& path, const editor::EditedLevel& level,
    platform::FileWriteSteps& steps = platform::systemFileWriteSteps());

// True when there is a recovery copy at `path` newer than the file's stamp (or the file is gone).
bool recoveryCopyIsNewer(const std::string& path, const std::optional<LevelFileOnDisk>& file);

// The lock that makes the recovery copy at `recoveryPath` this editor's while it runs, so that
// no other editor of the same file can take the copy, answer its question, or delete it. The
// problem line when another editor holds it: "brickstorm: FILE: being edited in another
// brickstorm; ...". Without a state folder, or where no lock file can be made, a lock not held:
// the editor goes on as it would without a copy to protect.
std::variant<platform::FileLock, std::string> lockRecoveryCopy(const std::string& file,
                                                               const std::string& recoveryPath);

}  // namespace brickstorm::app
