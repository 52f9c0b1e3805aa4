#pragma once

#include "app/command_line.h"

// The editor's run-time: the terminal, the keys, the editor's thread, saving and the recovery
// copy, and the play-test with the game's own loops.
namespace brickstorm::app {

// Opens `options.editFile` in the editor and runs it until it is quit; the program's exit status.
// A file the loader refuses for its shape is reported as the game reports it, with status 1,
// before the terminal is touched.
int runEditor(const Options& options);

}  // namespace brickstorm::app
