#pragma once

#include <optional>
#include <string>
#include <variant>

#include "editor/edited_level.h"
#include "platform/file_reading.h"
#include "platform/file_writing.h"

// The editor's files: the level file it opens and saves, and the recovery copy kept while there
// are unsaved changes.
namespace brickstorm::app {

// A level file opened for editing.
struct OpenedLevel {
    editor::EditedLevel level;
    bool exists = false;                       // false for a new level, not yet saved
    std::optional<platform::FileStamp> stamp;  // the file as it was read
};

// Opens `file`: its level when the loader takes its shape (whatever the problems of its
// contents), a new level of `newSize` when there is no such file, or the line to print when it
// cannot be used: "brickstorm: FILE:LINE:COLUMN: what", as the game says it.
std::variant<OpenedLevel, std::string> openLevelFile(const std::string& file, editor::LevelSizes newSize);

// Reads a level file for editing; nothing when it is missing or its shape is refused.
std::optional<editor::EditedLevel> readEditableLevel(const std::string& file);

// Writes `level` to `file` whole, or says why not ("cannot write the new file: No space left on
// device"); the old file is untouched on failure.
platform::FileWriteResult saveLevelFile(const std::string& file, const editor::EditedLevel& level,
                                        platform::FileWriteSteps& steps = platform::systemFileWriteSteps());

// Where the recovery copy of `file` lives, in the state folder; empty when there is no such
// folder (no home).
std::string recoveryPathFor(const std::string& file, const std::string& stateFolder);

// Writes the recovery copy, making its folder first.
platform::FileWriteResult writeRecoveryCopy(
    const std::string& path, const editor::EditedLevel& level,
    platform::FileWriteSteps& steps = platform::systemFileWriteSteps());

// True when there is a recovery copy at `path` newer than the file's stamp (or the file is gone).
bool recoveryCopyIsNewer(const std::string& path, const std::optional<platform::FileStamp>& fileStamp);

}  // namespace brickstorm::app
