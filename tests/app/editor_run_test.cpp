// The editor's thread with keys handed over as the terminal's reader hands them: the codes of one
// read in one group, each acted on, the screen composed once for the group.
#include "app/editor_run.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/editor_files.h"
#include "app/editor_inbox.h"
#include "core/key_codes.h"
#include "editor/edited_level.h"
#include "support/recording_console.h"
#include "support/temp_folder.h"

namespace brickstorm::app {
namespace {

constexpr int kRightArrow = 77;

std::vector<int> rightArrows(int count) {
    std::vector<int> codes;
    for (int i = 0; i < count; ++i) {
        codes.push_back(kNavigationKeyPrefix);
        codes.push_back(kRightArrow);
    }
    return codes;
}

// The editor on a new level of 9 x 3 x 5 (the cursor at 4, 1, 0), on a thread of its own.
class EditorKeyLoop {
public:
    explicit EditorKeyLoop(const std::string& file) {
        options_.editFile = file;
        thread_ = std::thread([this] {
            OpenedLevel opened{editor::EditedLevel::newLevel({9, 3, 5}), false, std::nullopt};
            status_ = editKeys(options_, std::move(opened), console, inbox);
        });
    }
    ~EditorKeyLoop() {
        inbox.close();
        thread_.join();
    }
    EditorKeyLoop(const EditorKeyLoop&) = delete;
    EditorKeyLoop& operator=(const EditorKeyLoop&) = delete;

    EditorInbox inbox;
    // Read only between deliveries: the editor composes before it answers a group.
    testing::RecordingConsole console;

private:
    Options options_;
    std::thread thread_;
    int status_ = 0;
};

TEST(EditorKeyLoop, ComposesTheScreenOnceForEachGroupOfCodes) {
    struct Case {
        const char* name;
        std::vector<int> codes;
        const char* status;  // where the cursor is afterwards
    };
    const Case cases[] = {
        {"a one-byte key", {']'}, "cursor 4,1,0 start"},
        {"an arrow", rightArrows(1), "cursor 5,1,0 empty"},
        {"a burst of 4 arrows", rightArrows(4), "cursor 8,1,0 empty"},
    };
    const testing::TempFolder folder("brickstorm-editor-loop-");
    for (const Case& entry : cases) {
        EditorKeyLoop editor(folder.path() + "/new.lvl");
        // The first picture, before any key, is answered with the first group: a key to wait on it.
        ASSERT_TRUE(editor.inbox.deliver({'['}));
        const std::size_t before = editor.console.pages.size();
        ASSERT_TRUE(editor.inbox.deliver(entry.codes)) << entry.name;
        EXPECT_EQ(editor.console.pages.size() - before, 1U) << entry.name;
        EXPECT_NE(editor.console.lastPage().find(entry.status), std::string::npos)
            << entry.name << "\n"
            << editor.console.lastPage();
        // A quit key ends the editor (nothing is unsaved), and the keys after it are not taken.
        EXPECT_FALSE(editor.inbox.deliver({'q', 'b'})) << entry.name;
    }
}

}  // namespace
}  // namespace brickstorm::app
