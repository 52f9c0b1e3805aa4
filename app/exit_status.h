#pragma once

// The program's exit statuses, one for each kind of failure, so that a script can tell them
// apart; the manual page's EXIT STATUS lists the same. A program ended by a signal ends by that
// signal instead, so that the shell sees the real cause.
namespace brickstorm::app {

enum ExitStatus : int {
    kExitSuccess = 0,
    // A level file cannot be used (or a --check found a broken one).
    kExitLevelFileError = 1,
    // A mistake on the command line or in the configuration file; the terminal is not touched.
    kExitUsageError = 2,
    // The terminal cannot show the game (TERM=dumb, or its output was lost).
    kExitUnfitTerminal = 3,
    // A recording cannot be read, or the file to record to cannot be written.
    kExitRecordingError = 4,
    // A replay, or its check, went out of step with its recording.
    kExitReplayOutOfStep = 5,
    // A file the program keeps (the progress, a level being saved, a recording being written) could
    // not be written in full during the run: told, and the data kept where it could be.
    kExitWriteFailed = 6,
    // A check of a recording that stops without its end line: a run cut off (a full disk, a
    // killed game) replays as far as it goes, and is not reported as a whole run.
    kExitRecordingCutOff = 7,
};

}  // namespace brickstorm::app
