// Taking the terminal for the game and giving it back on every way out: normal exit, the ending
// signals, a crash, and a stop (Ctrl+Z) followed by a resume.
#include "platform/posix/terminal_session.h"

#include <pthread.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "platform/posix/raw_mode.h"
#include "platform/terminal.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

// Who has the terminal.
enum Hold : int {
    kNotBegun,   // no session yet: nothing to give back
    kHeld,       // raw keys, the game's screen
    kGivenBack,  // as found, while the program is stopped
    kEnded,      // as found, for good
};

// Everything that the signal handlers touch, in one place. The descriptors and the two sets of
// settings are written once, before any handler is installed and before any other thread
// exists, and only read afterwards; what changes later are lock-free atomics, which a handler
// may use. No other global state belongs here.
struct HandlerState {
    int inputFd = -1;   // the terminal that keys come from (raw mode is set on it), or -1
    int outputFd = -1;  // the terminal that the picture goes to (screen sequences), or -1
    termios found{};    // the settings found at start, put back on every way out
    termios raw{};
    std::atomic<int> hold{kNotBegun};
    std::atomic<bool> repaint{false};
    std::atomic<bool> stopping{false};  // the stop handler is under way (see onStop)
    std::atomic<bool> drawing{false};   // a frame is being written (see beginDrawingOnTerminal)
    std::atomic<bool> coloured{false};  // frames carry colours (see noteColourOnTerminal)
};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "signal handlers may only touch lock-free atomics");

HandlerState handlerState;

// Everything from here to installHandlers() runs inside signal handlers, so it uses only
// async-signal-safe calls: write, tcsetattr, tcflush, tcgetpgrp, getpgrp, sigaction,
// sigprocmask, raise, nanosleep, and lock-free atomics.

// The ending and stop signals: held back from the drawing thread while it writes a frame.
constexpr std::array kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::array kCrashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Waits until no frame is being written. Called once the session has left kHeld, so that no new
// frame starts: the one in flight lands before the give-back, never after it. It cannot be on
// this thread: the drawing thread holds these signals back while it draws.
void waitForFrameInFlight() {
    const timespec pause{0, 1'000'000};
    while (handlerState.drawing.load()) {
        nanosleep(&pause, nullptr);
    }
}

void writeFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // nothing more can be done on this way out
        }
    }
}

// Puts the terminal back as it was found.
void giveBack() {
    if (handlerState.outputFd >= 0) {
        if (handlerState.coloured.load()) {
            writeFully(handlerState.outputFd, kResetAttributes);
        }
        writeFully(handlerState.outputFd, kGiveBackScreen);
    }
    if (handlerState.inputFd >= 0) {
        // Keys typed for the game are not meant for the shell.
        tcflush(handlerState.inputFd, TCIFLUSH);
        // TCSANOW: a way out must not wait on output that a stuck terminal never drains.
        tcsetattr(handlerState.inputFd, TCSANOW, &handlerState.found);
    }
}

// Takes the terminal for the game. The picture is lost on the way (the alternate screen starts
// empty), so a repaint is asked for.
void take() {
    if (handlerState.inputFd >= 0) {
        tcsetattr(handlerState.inputFd, TCSANOW, &handlerState.raw);
    }
    if (handlerState.outputFd >= 0) {
        writeFully(handlerState.outputFd, kTakeScreen);
    }
    handlerState.repaint.store(true);
}

bool inForeground() {
    const int fd = handlerState.inputFd >= 0 ? handlerState.inputFd : handlerState.outputFd;
    return fd >= 0 && tcgetpgrp(fd) == getpgrp();
}

// Ends the session for good, giving the terminal back if the game still has it. Whichever way
// out comes first does it; the others find nothing left to do.
void endSession() {
    int current = handlerState.hold.load();
    while (current == kHeld || current == kGivenBack) {
        if (handlerState.hold.compare_exchange_weak(current, kEnded)) {
            if (current == kHeld) {
                waitForFrameInFlight();
                giveBack();
            }
            return;
        }
    }
}

// Takes the terminal again after a stop, unless the program was resumed in the background:
// then the shell keeps it until the program is brought to the foreground, which resumes it
// again. Also taken again if it was never given back (a stop that cannot be caught): the shell
// may have changed the settings meanwhile.
void resumeSession() {
    if (!inForeground()) {
        return;
    }
    int current = handlerState.hold.load();
    while (current == kHeld || current == kGivenBack) {
        if (handlerState.hold.compare_exchange_weak(current, kHeld)) {
            take();
            return;
        }
    }
}

// `flags` on top of SA_RESTART.
void setHandler(int signal, void (*handler)(int), int flags = 0) {
    struct sigaction action {};
    action.sa_handler = handler;
    // No other handler runs in the middle of one of these, so the session changes hands in
    // one step at a time.
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART | flags;
    sigaction(signal, &action, nullptr);
}

// Ending signals and crashes: give the terminal back, then end by the same signal with its
// default action, so the parent sees the real cause (a shell reports 130 after Ctrl+C). The
// raised signal is blocked inside this handler and arrives the moment it returns; after a real
// fault, the returning instruction would fault again anyway.
void onEndingSignal(int signal) {
    endSession();
    setHandler(signal, SIG_DFL);
    raise(signal);
}

// The crash handlers run on a stack of their own: after a stack overflow the thread's own stack
// has no room left for them, and the program would die without giving the terminal back. It is
// the main thread's; the kernel keeps one per thread.
constexpr std::size_t kCrashStackSize = std::size_t{64} * 1024;
alignas(16) std::array<char, kCrashStackSize> crashStack;

void useCrashStack() {
    stack_t stack{};
    stack.ss_sp = crashStack.data();
    stack.ss_size = crashStack.size();
    sigaltstack(&stack, nullptr);
}

// Ctrl+Z: give the terminal back, stop as the key always does, and on resuming take it again.
// While this runs, the resume handler leaves the terminal alone: it is taken back here, only
// after this handler is in place again, so a second Ctrl+Z right after the resume cannot meet
// the default action and stop the program without giving the terminal back.
void onStop(int signal) {
    const int savedErrno = errno;
    handlerState.stopping.store(true);
    int expected = kHeld;
    if (handlerState.hold.compare_exchange_strong(expected, kGivenBack)) {
        waitForFrameInFlight();
        giveBack();
    }
    setHandler(signal, SIG_DFL);
    raise(signal);
    sigset_t justThis;
    sigemptyset(&justThis);
    sigaddset(&justThis, signal);
    sigprocmask(SIG_UNBLOCK, &justThis, nullptr);  // the process stops here until continued
    setHandler(signal, onStop);
    // Resumed (or the stop was discarded, as it is for a process group that no shell controls).
    // In the background, the terminal stays with the shell until `fg` resumes the program again.
    expected = kGivenBack;
    if (inForeground() && handlerState.hold.compare_exchange_strong(expected, kHeld)) {
        take();
    }
    handlerState.stopping.store(false);
    errno = savedErrno;
}

void onResume(int) {
    const int savedErrno = errno;
    if (!handlerState.stopping.load()) {
        resumeSession();
    }
    errno = savedErrno;
}

void onResize(int) { handlerState.repaint.store(true); }

bool ignoredAtStart(int signal) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

void installHandlers() {
    // A signal that the program was started with ignored (as a shell does for background jobs)
    // stays ignored: whoever started it decided it should not end or stop by that signal.
    for (const int signal : kEndingSignals) {
        if (!ignoredAtStart(signal)) {
            setHandler(signal, onEndingSignal);
        }
    }
    useCrashStack();
    for (const int signal : kCrashSignals) {
        setHandler(signal, onEndingSignal, SA_ONSTACK);
    }
    if (!ignoredAtStart(SIGTSTP)) {
        setHandler(SIGTSTP, onStop);
    }
    setHandler(SIGCONT, onResume);
    setHandler(SIGWINCH, onResize);
    // A closed pipe or a vanished reader then shows up as EPIPE from write(), which the console
    // handles by ending cleanly, instead of killing the program on the spot.
    setHandler(SIGPIPE, SIG_IGN);
}

}  // namespace

void beginTerminalSession() {
    if (handlerState.hold.load() != kNotBegun) {
        return;
    }
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &handlerState.found) == 0) {
        handlerState.inputFd = STDIN_FILENO;
        handlerState.raw = rawModeFrom(handlerState.found);
    }
    if (isatty(STDOUT_FILENO)) {
        handlerState.outputFd = STDOUT_FILENO;
    }
    installHandlers();
    std::atexit(endTerminalSession);
    handlerState.hold.store(kHeld);
    take();
    handlerState.repaint.store(false);  // nothing has been drawn yet
}

void endTerminalSession() { endSession(); }

namespace {

// The signals whose handlers wait for a frame in flight.
sigset_t drawingBlockedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kEndingSignals) {
        sigaddset(&signals, signal);
    }
    sigaddset(&signals, SIGTSTP);
    return signals;
}

// The drawing thread's own signal mask from before the frame.
thread_local sigset_t maskBeforeDrawing;

}  // namespace

bool beginDrawingOnTerminal() {
    const sigset_t blocked = drawingBlockedSignals();
    pthread_sigmask(SIG_BLOCK, &blocked, &maskBeforeDrawing);
    // Announced before the session is looked at, and the handlers change the session before they
    // look at this: one of the two always sees the other.
    handlerState.drawing.store(true);
    const int current = handlerState.hold.load();
    if (current == kNotBegun || current == kHeld) {
        return true;
    }
    endDrawingOnTerminal();
    return false;
}

void endDrawingOnTerminal() {
    handlerState.drawing.store(false);
    pthread_sigmask(SIG_SETMASK, &maskBeforeDrawing, nullptr);
}

bool takeRepaintRequest() { return handlerState.repaint.exchange(false); }

void noteColourOnTerminal() { handlerState.coloured.store(true); }

void endAfterLostOutput() {
    endSession();
    // _Exit, not exit: the other threads are still running, and static destructors must not
    // pull the game's state out from under them.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace brickstorm::platform
