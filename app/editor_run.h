#pragma once

#include "app/command_line.h"
#include "app/editor_files.h"
#include "app/editor_inbox.h"
#include "render/console.h"

// The editor's run-time: the terminal, the keys, the editor's thread, saving and the recovery
// copy, and the play-test with the game's own loops.
namespace brickstorm::app {

// Opens `options.editFile` in the editor and runs it until it is quit; the program's exit status.
// A file the loader refuses for its shape is reported as the game reports it, with status 1,
// before the terminal is touched.
int runEditor(const Options& options);

// The editor's own thread: acts on the keys `inbox` hands over and shows its screen on `console`
// until it is quit or the inbox is closed; the exit status. runEditor runs it beside the
// terminal's key reader; tests hand it the keys themselves.
int editKeys(const Options& options, OpenedLevel opened, Console& console, EditorInbox& inbox);

}  // namespace brickstorm::app
