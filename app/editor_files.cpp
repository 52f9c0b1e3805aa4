#include "app/editor_files.h"

#include <utility>

#include "app/level_files.h"
#include "editor/level_writing.h"
#include "editor/recovery_name.h"
#include "platform/full_path.h"
#include "world/level_file.h"

namespace brickstorm::app {

namespace {

// The file read for editing, or its problem; Missing when there is none.
std::variant<EditableLevelFile, LevelFileProblem, platform::FileReadStatus> readForEditing(
    const std::string& file) {
    LevelFileParser parser(LevelFileUse::Edit);
    const platform::FileReadResult read =
        platform::readFilePieces(file, [&parser](std::string_view piece) { return parser.take(piece); });
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

}  // namespace

std::variant<OpenedLevel, std::string> openLevelFile(const std::string& file, editor::LevelSizes newSize) {
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(file);
    auto read = readForEditing(file);
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
    return OpenedLevel{std::move(*level), true, stamp};
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
                                        platform::FileWriteSteps& steps) {
    return platform::writeFileAtomically(file, editor::levelFileText(level), steps);
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

bool recoveryCopyIsNewer(const std::string& path, const std::optional<platform::FileStamp>& fileStamp) {
    const auto copy = platform::fileStamp(path);
    return copy && (!fileStamp || copy->modifiedNanoseconds > fileStamp->modifiedNanoseconds);
}

}  // namespace brickstorm::app
