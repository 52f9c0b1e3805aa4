#pragma once

#include <memory>
#include <optional>

#include "render/console.h"
#include "terminal/colour_choice.h"
#include "terminal/window_size.h"

// The seam between the game and the operating system's terminal or console.
// One implementation per platform (platform/posix, platform/windows); nothing else in the
// game touches the terminal.
namespace brickstorm::platform {

// Takes the terminal for the game: keys unbuffered and unechoed, the picture on the alternate
// screen with the cursor hidden and line wrap off. Installs the handlers that give the terminal
// back on every way out (normal exit, the ending signals, a crash) and take it again after the
// program is stopped and resumed. Call once, before any thread starts.
void beginTerminalSession();

// Gives the terminal back as it was found. Safe to call more than once.
void endTerminalSession();

// The ending signal (or console event) that the program was asked to end by, while it handles
// them itself.
enum class EndingRequest {
    None,
    Interrupt,  // Ctrl+C (SIGINT; on Windows, Ctrl+C and Ctrl+Break)
    Terminate,  // SIGTERM; on Windows, the console window closed, a log-off or a shutdown
    HangUp,     // SIGHUP: the terminal is gone, so nothing more is drawn on it
};

// While on, an interrupt, a termination or a hang-up does not end the program at once: the
// first becomes a request, which KeyReader::next() reports at once as kEndingRequestKey and
// takeEndingRequest() tells. A second one while a request waits untaken, or a second
// termination or hang-up at all, ends the program as if deferral were off. Off at the start.
void deferEndingSignals(bool on);

// The request that waits, taken (None if there is none): the next one is a request again.
EndingRequest takeEndingRequest();

// Ends the program, once it has put its affairs in order and given the terminal back, as the
// request's signal would have ended it, so that whoever started it sees the real cause (a shell
// reports 130 after Ctrl+C). With no request, a plain successful exit.
[[noreturn]] void endAsRequested(EndingRequest request);

// Mouse reports (button presses, releases and drags, in the SGR form) from the terminal, on or
// off. Off at the start. They are switched off whenever the terminal is given back, so the
// shell never gets them, and on again when it is taken again.
void setMouseReporting(bool on);

// A stack of its own for the crash handlers on the calling thread, for as long as this lives:
// after a stack overflow the thread's own stack has no room left for them, and the program
// would end without giving the terminal back. Every thread the game starts makes one first
// thing (the main thread has its own from beginTerminalSession).
class CrashStack {
public:
    CrashStack();
    ~CrashStack();
    CrashStack(const CrashStack&) = delete;
    CrashStack& operator=(const CrashStack&) = delete;

private:
    std::unique_ptr<char[]> memory_;
};

// Reads keys one at a time, as the game's key codes (0 to 255; an extended key arrives as
// kFunctionKeyPrefix or kNavigationKeyPrefix followed by its own code). Standard input that is
// not a terminal (a pipe, a file) is read the same way, byte by byte. Used by one thread only.
class KeyReader {
public:
    KeyReader();
    ~KeyReader();
    KeyReader(const KeyReader&) = delete;
    KeyReader& operator=(const KeyReader&) = delete;

    // Blocks until the next key code; nothing once input has ended for good. kEndingRequestKey
    // at once when an ending request comes (see deferEndingSignals), once for each request.
    std::optional<int> next();

    // Codes already read wait to be taken: next() returns one without reading. The codes of one
    // read (an extended key's two, a burst of keys) can so be handled together.
    bool waiting() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Standard output is a terminal that says it can do no more than print lines (TERM=dumb): it
// cannot place the cursor nor switch screens, so the game cannot be drawn on it. Asked before
// the session begins.
bool dumbTerminal();

// How the game's console sends its pictures.
struct ConsoleOptions {
    // Every frame sent whole, instead of only what changed since the last one: for a terminal
    // that does not keep what it was sent, and for comparing the two.
    bool fullRedraw = false;
    // When the frames of the 3D view are coloured, and in how many colours instead of those
    // the environment names.
    terminal::ColourWhen colour = terminal::ColourWhen::Never;
    std::optional<ColourDepth> colourDepth{};
};

// Standard output as the game's console: on a terminal, the picture replaced in one step per
// frame, by sending only the cells that changed; anything else gets the plain text. Call after
// beginTerminalSession and before other threads start (it reads the locale); the console itself is for one
// thread only. If writing fails for good, the program ends with the terminal given back and a failure status.
std::unique_ptr<Console> makeTerminalConsole(ConsoleOptions options = {});

// The window that standard output shows in, asked anew on every call (it may have been resized
// since); nothing when standard output is not a terminal or console. Safe from any one thread.
std::optional<terminal::TerminalWindow> windowSize();

}  // namespace brickstorm::platform
