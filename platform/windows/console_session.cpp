// Taking the Windows console for the game and giving it back on every way out.

#include "platform/windows/console_session.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <limits>

#include "platform/ending_requests.h"
#include "platform/terminal.h"
#include "terminal/session_states.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

// The console mode that makes the console interpret control sequences (Windows 10 and later);
// named here because older SDK headers do not declare it.
constexpr DWORD kVirtualTerminalProcessing = 0x0004;

// How long giving the console back waits for a picture that is being written. A write can hang
// (output paused by a selection in the window, a pipe nobody reads); the console is given back
// all the same once the wait is over.
constexpr ULONGLONG kGiveBackWaitMs = 500;
constexpr DWORD kGiveBackPollMs = 1;

struct SavedMode {
    bool saved = false;
    DWORD mode = 0;
};

// Everything the session changed, to put it back, and the lock that the picture's writer shares.
struct Session {
    Session() {
        InitializeCriticalSection(&outputLock);
        InitializeCriticalSection(&requestLock);
        requests.hold = Hold::Held;  // the events of a console are the program's in any state
    }

    // A critical section rather than a std::mutex: the crash handler runs on the crashing
    // thread, which may be the render thread in the middle of a write, and a critical section
    // may be entered again by the thread that holds it.
    CRITICAL_SECTION outputLock{};
    std::atomic<bool> taken{false};      // begun and not yet ended
    std::atomic<bool> givenBack{false};  // ended: no picture may follow
    std::atomic<bool> coloured{false};   // frames carry colours (see noteColourInUse)

    HANDLE input = INVALID_HANDLE_VALUE;
    SavedMode inputMode;
    bool mouse = false;  // mouse input asked for (in the input mode while the console is taken)

    // The ending requests: the table's state (only its deferral and request parts matter on a
    // console, which the program is never stopped in), under its own lock, since the console's
    // events come on a thread of their own.
    CRITICAL_SECTION requestLock{};
    SessionState requests;
    HANDLE requestEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HANDLE> keyReaderThread{nullptr};
    ConsoleOutput output;
    SavedMode outputMode;
    UINT outputCodePage = 0;  // 0: left as found
    bool cursorSaved = false;
    CONSOLE_CURSOR_INFO cursor{};
};

Session& session() {
    // Never destroyed: the render thread goes on writing while the process ends, and the
    // console handlers may run after static destruction has begun.
    static Session* const instance = new Session;
    return *instance;
}

ConsoleEncoding encodingForCodePage(UINT codePage) {
    if (codePage == CP_UTF8) {
        return ConsoleEncoding::Utf8;
    }
    return codePage == kGameCodePage ? ConsoleEncoding::CodePage437 : ConsoleEncoding::Ascii;
}

// Standard output as it is, changing nothing.
ConsoleOutput foundOutput() {
    ConsoleOutput output;
    output.handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    output.isConsole = GetConsoleMode(output.handle, &mode) != 0;
    if (!output.isConsole) {
        // A pipe or a file. What reads it is most often a terminal emulator (a terminal window
        // of another environment, a remote session), which takes the same control sequences
        // and UTF-8 as a terminal anywhere else.
        output.format = {true, ConsoleEncoding::Utf8};
        return output;
    }
    output.format.controlSequences = (mode & kVirtualTerminalProcessing) != 0;
    output.format.encoding = encodingForCodePage(GetConsoleOutputCP());
    return output;
}

// Mouse input while the game asks for it, otherwise as found.
DWORD inputModeFrom(const Session& s, DWORD found) {
    const DWORD mode = (found | ENABLE_EXTENDED_FLAGS) & ~ENABLE_QUICK_EDIT_MODE;
    return s.mouse ? (mode | ENABLE_MOUSE_INPUT) : mode;
}

// Quick edit off: a click in the window would start a selection, and the console holds back
// all output while one is open, so the picture would freeze. The reads themselves switch the
// console to raw mode for each key (see key_reader.cpp).
void takeInput(Session& s) {
    s.input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(s.input, &mode)) {
        return;
    }
    s.inputMode = {true, mode};
    SetConsoleMode(s.input, inputModeFrom(s, mode));
}

// UTF-8 only together with control sequences: the consoles that lack those (before Windows 10)
// also draw UTF-8 output wrongly, while code page 437 has the game's shapes everywhere.
ConsoleEncoding takeCodePage(bool controlSequences) {
    if (controlSequences && SetConsoleOutputCP(CP_UTF8)) {
        return ConsoleEncoding::Utf8;
    }
    if (SetConsoleOutputCP(kGameCodePage)) {
        return ConsoleEncoding::CodePage437;
    }
    return ConsoleEncoding::Ascii;
}

// Without control sequences the cursor is hidden through the console's API instead.
void hideCursor(Session& s) {
    if (!GetConsoleCursorInfo(s.output.handle, &s.cursor)) {
        return;
    }
    s.cursorSaved = true;
    CONSOLE_CURSOR_INFO hidden = s.cursor;
    hidden.bVisible = FALSE;
    SetConsoleCursorInfo(s.output.handle, &hidden);
}

// Control bytes acted on, control sequences interpreted where the console can, and no wrap at
// the last column, so that a window narrower than the picture cuts its lines instead of
// scrambling it.
void takeOutput(Session& s) {
    s.output = foundOutput();
    if (!s.output.isConsole) {
        return;
    }
    const HANDLE handle = s.output.handle;
    DWORD mode = 0;
    GetConsoleMode(handle, &mode);
    s.outputMode = {true, mode};
    const DWORD plain = (mode | ENABLE_PROCESSED_OUTPUT) & ~ENABLE_WRAP_AT_EOL_OUTPUT;
    const bool controlSequences = SetConsoleMode(handle, plain | kVirtualTerminalProcessing) != 0;
    if (!controlSequences) {
        SetConsoleMode(handle, plain);
    }
    s.outputCodePage = GetConsoleOutputCP();
    s.output.format = {controlSequences, takeCodePage(controlSequences)};
    if (!controlSequences) {
        hideCursor(s);
    }
}

// In the reverse order of taking: the sequences that give the screen back go out while the
// console still interprets them.
void giveBackOutput(Session& s) {
    const HANDLE handle = s.output.handle;
    if (s.coloured && s.output.format.controlSequences) {
        writeAll(handle, kResetAttributes);
    }
    writeAll(handle, giveBackScreenBytes(s.output.format));
    if (s.cursorSaved) {
        SetConsoleCursorInfo(handle, &s.cursor);
        s.cursorSaved = false;
    }
    if (s.outputCodePage != 0) {
        SetConsoleOutputCP(s.outputCodePage);
        s.outputCodePage = 0;
    }
    if (s.outputMode.saved) {
        SetConsoleMode(handle, s.outputMode.mode);
        s.outputMode.saved = false;
    }
}

void giveBackInput(Session& s) {
    if (s.inputMode.saved) {
        SetConsoleMode(s.input, s.inputMode.mode);
        s.inputMode.saved = false;
    }
}

bool enterWithin(CRITICAL_SECTION& lock, ULONGLONG waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    while (!TryEnterCriticalSection(&lock)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kGiveBackPollMs);
    }
    return true;
}

Ending endingOf(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? Ending::Interrupt : Ending::Terminate;
}

// Passes one event through the table of requests; true if it became a request.
bool asked(Session& s, SessionInput input) {
    EnterCriticalSection(&s.requestLock);
    const SessionStep step = sessionStep(s.requests, input);
    s.requests = step.next;
    LeaveCriticalSection(&s.requestLock);
    if (step.wakeKeys) {
        SetEvent(s.requestEvent);
        if (const HANDLE reader = s.keyReaderThread.load()) {
            CancelSynchronousIo(reader);
        }
    }
    return !step.end;
}

// After closing the window, a log-off or a shutdown the system ends the process as soon as this
// handler returns (or within five seconds): the program gets that long to end by itself.
constexpr DWORD kClosingGraceMs = 4000;

// How long a Ctrl+C or Ctrl+Break request may wait for the program to take it. A key reader
// blocked on a pipe whose read cannot be cut short never looks: the interrupt then ends the
// program as it would without the request, rather than being lost.
constexpr ULONGLONG kRequestGraceMs = 2000;

// The program took the request that waits (or gave the console back) within `waitMs`.
bool requestTakenWithin(Session& s, ULONGLONG waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        EnterCriticalSection(&s.requestLock);
        const bool waiting = s.requests.request != Ending::None;
        LeaveCriticalSection(&s.requestLock);
        if (!waiting || !s.taken) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kGiveBackPollMs);
    }
}

// Ctrl+C, Ctrl+Break, closing the window, logging off, shutting down. The system runs this on a
// thread of its own while the game's threads go on. While the program defers them, the first
// becomes a request (see deferEndingSignals); otherwise it gives the console back, and
// returning FALSE passes the event on to the default handling, which ends the process.
BOOL WINAPI onConsoleEvent(DWORD event) {
    Session& s = session();
    if (asked(s, {.event = SessionEvent::EndingSignal, .ending = endingOf(event)})) {
        if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
            if (requestTakenWithin(s, kRequestGraceMs)) {
                return TRUE;
            }
        } else {
            const ULONGLONG deadline = GetTickCount64() + kClosingGraceMs;
            while (s.taken && GetTickCount64() < deadline) {
                Sleep(kGiveBackPollMs);
            }
        }
    }
    endTerminalSession();
    return FALSE;
}

// A crash: give the console back, then let the system's crash handling go on as usual.
LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    endTerminalSession();
    return EXCEPTION_CONTINUE_SEARCH;
}

// abort() (std::terminate among others) ends the process when the handler returns.
void onAbort(int) { endTerminalSession(); }

void installRestoreHandlers() {
    // Once per process, however often a session is begun.
    static const bool installed = [] {
        std::atexit(endTerminalSession);
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
        SetUnhandledExceptionFilter(onCrash);
        std::signal(SIGABRT, onAbort);
        return true;
    }();
    (void)installed;
}

}  // namespace

void noteColourInUse() { session().coloured = true; }

HANDLE endingRequestEvent() { return session().requestEvent; }

void noteKeyReaderThread(HANDLE thread) { session().keyReaderThread.store(thread); }

// A console takes what is written to it at once: nothing ever waits on it to read.
void stopWaitingOnTheTerminal() {}

void deferEndingSignals(EndingSignals how) {
    asked(session(),
          {.event = how == EndingSignals::EndAtOnce ? SessionEvent::DeferralOff : SessionEvent::DeferralOn,
           .inOrder = how == EndingSignals::AskedToEndInOrder});
}

EndingRequest takeEndingRequest() {
    Session& s = session();
    EnterCriticalSection(&s.requestLock);
    const Ending request = s.requests.request;
    s.requests = sessionStep(s.requests, {.event = SessionEvent::TakeRequest}).next;
    LeaveCriticalSection(&s.requestLock);
    return endingRequestFor(request);
}

// The console reports mouse events as input records; the key reader passes over them until the
// game reads them. The give-back puts the input mode as found, without them.
void setMouseReporting(bool on) {
    Session& s = session();
    s.mouse = on;
    if (s.taken && s.inputMode.saved) {
        SetConsoleMode(s.input, inputModeFrom(s, s.inputMode.mode));
    }
}

// The system's own handling of a stack overflow runs on the guard page's reserve, on any
// thread: there is nothing to set up.
CrashStack::CrashStack() = default;
CrashStack::~CrashStack() = default;

ConsoleOutput sessionOutput() {
    Session& s = session();
    return s.taken ? s.output : foundOutput();
}

OutputTurn::OutputTurn() {
    Session& s = session();
    EnterCriticalSection(&s.outputLock);
    open_ = !s.givenBack;
}

OutputTurn::~OutputTurn() { LeaveCriticalSection(&session().outputLock); }

bool writeAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

void beginTerminalSession() {
    Session& s = session();
    if (s.taken.exchange(true)) {
        return;
    }
    s.givenBack = false;
    // Whether frames are coloured is this session's own: its console says so again.
    s.coloured = false;
    installRestoreHandlers();
    takeInput(s);
    takeOutput(s);
    writeAll(s.output.handle, takeScreenBytes(s.output.format));
}

void endTerminalSession() {
    Session& s = session();
    if (!s.taken.exchange(false)) {
        return;
    }
    const bool locked = enterWithin(s.outputLock, kGiveBackWaitMs);
    s.givenBack = true;
    giveBackOutput(s);
    giveBackInput(s);
    if (locked) {
        LeaveCriticalSection(&s.outputLock);
    }
}

}  // namespace brickstorm::platform
