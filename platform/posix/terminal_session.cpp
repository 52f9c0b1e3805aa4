// Taking the terminal for the game and giving it back on every way out: normal exit, every
// ending signal, a crash on any thread, a stop (Ctrl+Z, SIGTTIN, SIGTTOU) followed by a resume.
//
// Every event passes through the one table of terminal/session_states.h, which says what it
// does in each state. The state lives in one atomic word: a handler (or the program itself)
// works out the next state, swaps it in with a compare-exchange, and the thread whose exchange
// won carries out the step it returned. Steps that touch the terminal are carried out in the
// order of their exchanges (each waits for the one before it to finish), so that a take can
// never land after the final give-back, nor two takes follow one give-back.
#include "platform/posix/terminal_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/ending_requests.h"
#include "platform/posix/raw_mode.h"
#include "platform/terminal.h"
#include "terminal/session_states.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

// The session's state in one word, so that a signal handler can change it with one lock-free
// exchange: the table's state in the low bits, and above it the number of steps so far that
// had something to do on the terminal (a give-back, a take, a wake-up), which orders them.
namespace word {

constexpr std::uint32_t kHoldBits = 0x7;
constexpr std::uint32_t kEndsInOrder = 1U << 3;
constexpr std::uint32_t kDeferring = 1U << 4;
constexpr unsigned kRequestShift = 5;
constexpr std::uint32_t kRequestBits = 0x7U << kRequestShift;
constexpr std::uint32_t kAskedToEnd = 1U << 8;
constexpr std::uint32_t kTerminalGone = 1U << 9;
constexpr unsigned kTicketShift = 12;

std::uint32_t pack(const SessionState& state, std::uint32_t ticket) {
    std::uint32_t packed = static_cast<std::uint32_t>(state.hold);
    packed |= state.deferring ? kDeferring : 0;
    packed |= state.endsInOrder ? kEndsInOrder : 0;
    packed |= static_cast<std::uint32_t>(state.request) << kRequestShift;
    packed |= state.askedToEnd ? kAskedToEnd : 0;
    packed |= state.terminalGone ? kTerminalGone : 0;
    return packed | (ticket << kTicketShift);
}

SessionState unpack(std::uint32_t packed) {
    SessionState state;
    state.hold = static_cast<Hold>(packed & kHoldBits);
    state.deferring = (packed & kDeferring) != 0;
    state.endsInOrder = (packed & kEndsInOrder) != 0;
    state.request = static_cast<Ending>((packed & kRequestBits) >> kRequestShift);
    state.askedToEnd = (packed & kAskedToEnd) != 0;
    state.terminalGone = (packed & kTerminalGone) != 0;
    return state;
}

// The ticket wraps around long after any step could still be waiting for its turn.
std::uint32_t ticket(std::uint32_t packed) { return packed >> kTicketShift; }
constexpr std::uint32_t kTicketMask = ~std::uint32_t{0} >> kTicketShift;
std::uint32_t nextTicket(std::uint32_t ticket) { return (ticket + 1) & kTicketMask; }

// Whether the steps carried out so far, `done`, include every step before `ticket`. Steps that
// act on the terminal hold their ticket until carried out, so `done` never passes theirs; but a
// step with nothing to do only notes the ticket, and the steps after it may all be carried out
// before it looks, so `done` may be ahead of it (by less than half the tickets' range).
bool reached(std::uint32_t done, std::uint32_t ticket) {
    return ((done - ticket) & kTicketMask) <= kTicketMask / 2;
}

}  // namespace word

// Everything that the signal handlers touch, in one place. The descriptors and the two sets of
// settings are written once, before any handler is installed and before any other thread
// exists, and only read afterwards; what changes later are lock-free atomics, which a handler
// may use. No other global state belongs here.
struct HandlerState {
    int inputFd = -1;  // the terminal that keys come from (raw mode is set on it), or -1
    // The terminal that the picture goes to (screen sequences), or -1: a description of its own,
    // non-blocking, so that a terminal that stops reading (a stalled connection) can hold no
    // write for longer than the writer allows. Standard output itself stays blocking: its
    // description is shared with the shell, which must not find it changed.
    int outputFd = -1;
    termios found{};  // the settings found at start, put back on every way out
    termios raw{};
    std::array<int, 2> wake{-1, -1};  // the key reader's wake-up: read end, write end
    std::atomic<std::uint32_t> session{word::pack({}, 0)};
    std::atomic<std::uint32_t> stepsDone{0};  // the ticket of the last step carried out
    std::atomic<bool> repaint{false};
    std::atomic<bool> drawing{false};      // a frame is being written (see beginDrawingOnTerminal)
    std::atomic<bool> coloured{false};     // frames carry colours (see noteColourOnTerminal)
    std::atomic<bool> mouse{false};        // the game wants mouse reports while it holds the terminal
    std::atomic<bool> mouseEverOn{false};  // so every give-back turns them off
    std::atomic<bool> givingUp{false};  // the program is ending: frames the terminal does not take are dropped
};
static_assert(std::atomic<std::uint32_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "signal handlers may only touch lock-free atomics");

HandlerState handlerState;

// This thread is writing a frame: a crash in the middle of it must not wait for the frame. Read
// by this thread's own signal handlers, hence an atomic that needs no lock.
thread_local std::atomic<bool> drawingHere{false};

// Everything from here to installHandlers() runs inside signal handlers, so it uses only
// async-signal-safe calls: write, poll, tcgetattr, tcsetattr, tcflush, tcgetpgrp, getpgrp,
// sigaction, sigprocmask, raise, nanosleep, clock_gettime, and lock-free atomics.

// The ending signals: every signal whose default action ends the process and that a program
// may catch. The first three may be deferred to the program (deferEndingSignals).
constexpr std::array kEndingSignals{
    SIGINT,    SIGTERM, SIGHUP,  SIGQUIT, SIGTRAP,   SIGSYS,  SIGXCPU,
    SIGXFSZ,   SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};
// Faults: their handlers run on the crash stack, since one may be a stack overflow.
constexpr std::array kCrashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

constexpr timespec kPause{0, 1'000'000};

Ending endingKind(int signal) {
    switch (signal) {
    case SIGINT: return Ending::Interrupt;
    case SIGTERM: return Ending::Terminate;
    case SIGHUP: return Ending::HangUp;
    default: return Ending::Other;
    }
}

// How long a way out waits for a frame in flight to land before telling it to give up, and then
// for it to give up; and how long the give-back's own bytes may wait for a terminal that takes
// nothing, less when it held a frame that long already. Together under a second: a terminal
// that stopped reading must not hold the program's end, and one that reads lands a frame far
// sooner, even on a busy machine.
constexpr long kFrameLandingMs = 500;
constexpr long kFrameGivingUpMs = 100;
constexpr long kGiveBackBytesMs = 300;
constexpr long kGiveBackBytesAfterAStallMs = 100;

long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    constexpr long kMsPerSecond = 1000;
    constexpr long kNsPerMs = 1'000'000;
    return now.tv_sec * kMsPerSecond + now.tv_nsec / kNsPerMs;
}

// Waits up to `limitMs` until no frame is being written; true if none is.
bool frameLandedWithin(long limitMs) {
    const long deadline = nowMs() + limitMs;
    while (handlerState.drawing.load()) {
        if (nowMs() >= deadline) {
            return false;
        }
        nanosleep(&kPause, nullptr);
    }
    return true;
}

// Waits until no frame is being written. Called once the session has left Held, so that no new
// frame starts: the one in flight lands before the give-back, never after it. It cannot be on
// this thread: the drawing thread holds the session's signals back while it draws, and a crash
// in the middle of a frame gives the frame up first. A frame that the terminal does not take is
// told to give up, and the give-back goes ahead after a short while even if it has not.
// On a stop the frame is not given up (the program goes on afterwards): it may land after the
// give-back, the lesser harm than a stop that never comes. False if the terminal held the frame
// for the whole wait.
bool waitForFrameInFlight(bool forGood) {
    if (frameLandedWithin(kFrameLandingMs)) {
        return true;
    }
    if (forGood) {
        handlerState.givingUp.store(true);
        frameLandedWithin(kFrameGivingUpMs);
    }
    return false;
}

// Writes what the terminal takes of `bytes` until `deadlineMs`, without blocking on a terminal
// that has stopped reading (the descriptor is non-blocking; poll waits for room).
void writeUntil(int fd, std::string_view bytes, long deadlineMs) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        const long left = deadlineMs - nowMs();
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && left > 0) {
            pollfd entry{fd, POLLOUT, 0};
            static_cast<void>(::poll(&entry, 1, static_cast<int>(left)));
            continue;
        }
        return;  // nothing more can be done on this way out
    }
}

void writeFully(int fd, std::string_view bytes) { writeUntil(fd, bytes, nowMs() + kGiveBackBytesMs); }

// Puts the terminal back as it was found: for good, or for a stop.
void giveBack(bool forGood) {
    const bool reading = waitForFrameInFlight(forGood);
    if (handlerState.outputFd >= 0) {
        // One limit for all of it: the settings below need no output, and must not wait.
        const long deadline = nowMs() + (reading ? kGiveBackBytesMs : kGiveBackBytesAfterAStallMs);
        if (handlerState.coloured.load()) {
            writeUntil(handlerState.outputFd, kResetAttributes, deadline);
        }
        if (handlerState.mouseEverOn.load()) {
            writeUntil(handlerState.outputFd, kMouseReportingOff, deadline);
        }
        writeUntil(handlerState.outputFd, kGiveBackScreen, deadline);
    }
    if (handlerState.inputFd >= 0) {
        // Keys typed for the game are not meant for the shell.
        tcflush(handlerState.inputFd, TCIFLUSH);
        // TCSANOW: a way out must not wait on output that a stuck terminal never drains.
        tcsetattr(handlerState.inputFd, TCSANOW, &handlerState.found);
    }
}

// Takes the terminal for the game: its settings, and unless only those were lost, its screen.
// The picture is lost on the way either way, so a repaint is asked for.
void take(Take how) {
    if (handlerState.inputFd >= 0) {
        tcsetattr(handlerState.inputFd, TCSANOW, &handlerState.raw);
    }
    if (handlerState.outputFd >= 0 && how == Take::Whole) {
        writeFully(handlerState.outputFd, kTakeScreen);
        if (handlerState.mouse.load()) {
            writeFully(handlerState.outputFd, kMouseReportingOn);
        }
    }
    handlerState.repaint.store(true);
}

void wakeKeyReader() {
    if (handlerState.wake[1] >= 0) {
        const char request = 'r';
        static_cast<void>(::write(handlerState.wake[1], &request, 1));
    }
}

bool inForeground() {
    const int fd = handlerState.inputFd >= 0 ? handlerState.inputFd : handlerState.outputFd;
    return fd >= 0 && tcgetpgrp(fd) == getpgrp();
}

// False once someone else (a shell, after a stop the program could not catch) has changed the
// terminal's settings behind the game's back.
bool settingsKept() {
    termios now{};
    if (handlerState.inputFd < 0 || tcgetattr(handlerState.inputFd, &now) != 0) {
        return true;
    }
    const termios& raw = handlerState.raw;
    return now.c_iflag == raw.c_iflag && now.c_oflag == raw.c_oflag && now.c_cflag == raw.c_cflag &&
           now.c_lflag == raw.c_lflag && std::memcmp(now.c_cc, raw.c_cc, sizeof now.c_cc) == 0;
}

// The signals that a frame must not be interrupted by on its own thread: all but the faults,
// which cannot wait (a fault while blocked would end the process on the spot).
sigset_t drawingBlockedSignals() {
    sigset_t signals;
    sigfillset(&signals);
    for (const int signal : kCrashSignals) {
        sigdelset(&signals, signal);
    }
    return signals;
}

bool touchesTerminal(const SessionStep& step) {
    return step.giveBack || step.take != Take::None || step.wakeKeys;
}

// Waits until every step whose exchange came before `ticket`'s has been carried out.
void waitForTurn(std::uint32_t ticket) {
    while (!word::reached(handlerState.stepsDone.load(), ticket)) {
        nanosleep(&kPause, nullptr);
    }
}

struct Passed {
    SessionState before;
    SessionStep step;
};

// Passes one event through the table and carries out the terminal's part of its step: give
// back, take, wake the key reader. Stopping and ending are the caller's, who knows the signal;
// by then every step before this one has been carried out.
Passed pass(const SessionInput& input) {
    // Nothing interrupts a step on its own thread, not even a fault signal sent from outside:
    // its handler's step would wait for this one's turn forever. (The step's own few calls do
    // not fault.)
    sigset_t blocked;
    sigfillset(&blocked);
    if (input.event == SessionEvent::Begin) {
        // A program started in the background stops on taking the terminal, until it is
        // brought to the foreground, instead of taking it from the job that has it.
        sigdelset(&blocked, SIGTTOU);
    }
    sigset_t before;
    sigprocmask(SIG_BLOCK, &blocked, &before);
    std::uint32_t current = handlerState.session.load();
    Passed passed;
    std::uint32_t ticket = 0;
    for (;;) {
        passed.before = word::unpack(current);
        passed.step = sessionStep(passed.before, input);
        ticket = word::ticket(current);
        const bool acts = touchesTerminal(passed.step);
        const std::uint32_t next = word::pack(passed.step.next, acts ? word::nextTicket(ticket) : ticket);
        if (handlerState.session.compare_exchange_weak(current, next)) {
            break;
        }
    }
    const SessionStep& step = passed.step;
    waitForTurn(ticket);
    if (touchesTerminal(step)) {
        if (step.giveBack) {
            giveBack(step.end);
        }
        if (step.take != Take::None) {
            take(step.take);
        }
        if (step.wakeKeys) {
            wakeKeyReader();
        }
        handlerState.stepsDone.store(word::nextTicket(ticket));
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return passed;
}

SessionState currentState() { return word::unpack(handlerState.session.load()); }

// `flags` on top of SA_RESTART.
void setHandler(int signal, void (*handler)(int), int flags = 0) {
    struct sigaction action {};
    action.sa_handler = handler;
    // No other handler runs on this thread in the middle of one of these.
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART | flags;
    sigaction(signal, &action, nullptr);
}

void onStopSignal(int signal);

// The default action of `signal` on this thread, once the handler returns: the raised signal
// is blocked inside the handler and arrives the moment it does. After a real fault, the
// returning instruction faults again anyway.
void actByDefault(int signal) {
    setHandler(signal, SIG_DFL);
    raise(signal);
}

// Ending signals and crashes: give the terminal back, then end by the same signal with its
// default action, so the parent sees the real cause (a shell reports 130 after Ctrl+C). While
// the program defers them, SIGINT, SIGTERM and SIGHUP are asked of it instead (see the table).
void onEndingSignal(int signal) {
    const int savedErrno = errno;
    if (drawingHere.load()) {
        // A crash in the middle of a frame: the frame is cut short (the give-back ends the
        // update it began), and nobody may wait for it.
        drawingHere.store(false);
        handlerState.drawing.store(false);
    }
    if (pass({.event = SessionEvent::EndingSignal, .ending = endingKind(signal)}).step.end) {
        actByDefault(signal);
    }
    errno = savedErrno;
}

// A stop signal raised on this thread, blocked here until the stop is carried out. Raised
// first thing, so that the kernel itself settles every race with a continue: a SIGCONT sent
// from then on discards it, wherever that SIGCONT's own handler runs, and one sent before it
// leaves it alone.
void raiseStop(int signal) { raise(signal); }

bool stillPending(int signal) {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, signal) == 1;
}

// Stops the program by `signal`'s default action, here, until it is continued; at once if a
// SIGCONT has discarded the stop already.
void stopHere(int signal) {
    setHandler(signal, SIG_DFL);
    if (stillPending(signal)) {
        sigset_t justThis;
        sigemptyset(&justThis);
        sigaddset(&justThis, signal);
        sigprocmask(SIG_UNBLOCK, &justThis, nullptr);  // the process stops here until continued
        sigprocmask(SIG_BLOCK, &justThis, nullptr);
    }
    setHandler(signal, onStopSignal);
}

// Another thread's stop is under way: this one waits for it to be over. The process stops
// there too, and the SIGCONT that continues it discards this thread's stop as well.
void waitForTheOtherStop() {
    while (currentState().hold == Hold::Stopping) {
        nanosleep(&kPause, nullptr);
    }
}

// Ctrl+Z, and a background read or write of the terminal: give the terminal back, stop as the
// key always does, and once continued take it again. Only this thread (the stopper) takes it
// again, so a resume enters the game's screen once however many SIGCONTs come.
void onStopSignal(int signal) {
    const int savedErrno = errno;
    raiseStop(signal);
    for (;;) {
        const Passed stopped = pass({.event = SessionEvent::Stop});
        const Hold before = stopped.before.hold;
        if (before == Hold::Stopping) {
            waitForTheOtherStop();
            if (stillPending(signal)) {
                continue;  // not continued since: this stop is still due
            }
        } else if (before == Hold::Held || before == Hold::GivenBack) {
            stopHere(signal);
            // Continued (or the stop was discarded, as it is for a process group that no shell
            // controls). In the background the terminal stays with the shell until `fg`
            // continues the program again.
            pass({.event = SessionEvent::StopOver, .foreground = inForeground()});
        } else {
            setHandler(signal, SIG_DFL);  // no session to take again: the plain stop, on return
        }
        break;
    }
    errno = savedErrno;
}

void onContinue(int) {
    const int savedErrno = errno;
    // A stop under way is never cancelled here: the kernel has discarded it already if this
    // SIGCONT was sent after it was raised, and must not be if it was sent before.
    pass({.event = SessionEvent::Continue, .foreground = inForeground(), .settingsKept = settingsKept()});
    errno = savedErrno;
}

void onResize(int) { handlerState.repaint.store(true); }

bool ignoredAtStart(int signal) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

// The crash handlers run on a stack of their own: after a stack overflow the thread's own stack
// has no room left for them, and the program would die without giving the terminal back. This
// is the main thread's; every other thread sets up its own (CrashStack).
constexpr std::size_t kCrashStackSize = std::size_t{64} * 1024;
alignas(16) std::array<char, kCrashStackSize> mainCrashStack;

void useCrashStack(char* memory, std::size_t size) {
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = size;
    sigaltstack(&stack, nullptr);
}

void installHandlers() {
    // A signal that the program was started with ignored (as a shell does for background jobs)
    // stays ignored: whoever started it decided it should not end or stop by that signal.
    for (const int signal : kEndingSignals) {
        if (!ignoredAtStart(signal)) {
            setHandler(signal, onEndingSignal);
        }
    }
#ifdef SIGRTMIN
    // The real-time signals end a process by default too (the C library keeps the few below
    // SIGRTMIN for itself).
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        if (!ignoredAtStart(signal)) {
            setHandler(signal, onEndingSignal);
        }
    }
#endif
    useCrashStack(mainCrashStack.data(), mainCrashStack.size());
    for (const int signal : kCrashSignals) {
        setHandler(signal, onEndingSignal, SA_ONSTACK);
    }
    if (!ignoredAtStart(SIGTSTP)) {
        setHandler(SIGTSTP, onStopSignal);
    }
    setHandler(SIGCONT, onContinue);
    setHandler(SIGWINCH, onResize);
    // A closed pipe or a vanished reader then shows up as EPIPE from write(), which the console
    // handles by ending cleanly, instead of killing the program on the spot.
    setHandler(SIGPIPE, SIG_IGN);
}

// A background read or write of the terminal stops the program as Ctrl+Z does. Installed once
// the terminal is taken: a program started in the background stops plainly on taking it, and
// takes it once brought to the foreground.
void installBackgroundStopHandlers() {
    for (const int signal : {SIGTTIN, SIGTTOU}) {
        if (!ignoredAtStart(signal)) {
            setHandler(signal, onStopSignal);
        }
    }
}

// The terminal on standard output, opened anew for writing without blocking (see outputFd); the
// standard output itself if the terminal cannot be opened by its name.
int openOutputOfOurOwn() {
    std::array<char, 256> name{};
    if (ttyname_r(STDOUT_FILENO, name.data(), name.size()) == 0) {
        const int fd = ::open(name.data(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            return fd;
        }
    }
    return STDOUT_FILENO;
}

void openWakeUp() {
    if (::pipe(handlerState.wake.data()) != 0) {
        return;
    }
    for (const int fd : handlerState.wake) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        // Neither a full pipe nor an empty one may ever block: a handler writes, and the key
        // reader only reads once poll() says there is something.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

}  // namespace

void beginTerminalSession() {
    if (currentState().hold != Hold::NotBegun) {
        return;
    }
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &handlerState.found) == 0) {
        handlerState.inputFd = STDIN_FILENO;
        handlerState.raw = rawModeFrom(handlerState.found);
    }
    if (isatty(STDOUT_FILENO)) {
        handlerState.outputFd = openOutputOfOurOwn();
    }
    openWakeUp();
    installHandlers();
    std::atexit(endTerminalSession);
    pass({.event = SessionEvent::Begin});
    handlerState.repaint.store(false);  // nothing has been drawn yet
    installBackgroundStopHandlers();
}

void endTerminalSession() { pass({.event = SessionEvent::End}); }

void deferEndingSignals(EndingSignals how) {
    pass({.event = how == EndingSignals::EndAtOnce ? SessionEvent::DeferralOff : SessionEvent::DeferralOn,
          .inOrder = how == EndingSignals::AskedToEndInOrder});
}

EndingRequest takeEndingRequest() {
    return endingRequestFor(pass({.event = SessionEvent::TakeRequest}).before.request);
}

int endingRequestWakeUp() { return handlerState.wake[0]; }

int terminalOutput() { return handlerState.outputFd >= 0 ? handlerState.outputFd : STDOUT_FILENO; }

void stopWaitingOnTheTerminal() { handlerState.givingUp.store(true); }

bool givingUpOnTheTerminal() { return handlerState.givingUp.load(); }

void setMouseReporting(bool on) {
    if (on) {
        handlerState.mouseEverOn.store(true);
    }
    handlerState.mouse.store(on);
    // Written now only while the game holds the terminal; otherwise the next take (or none)
    // says it. A give-back waits for this as for a frame.
    if (handlerState.outputFd >= 0 && beginDrawingOnTerminal()) {
        writeFully(handlerState.outputFd, on ? kMouseReportingOn : kMouseReportingOff);
        endDrawingOnTerminal();
    }
}

CrashStack::CrashStack() : memory_(std::make_unique<char[]>(kCrashStackSize)) {
    useCrashStack(memory_.get(), kCrashStackSize);
}

CrashStack::~CrashStack() {
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
}

namespace {

// The drawing thread's own signal mask from before the frame.
thread_local sigset_t maskBeforeDrawing;

}  // namespace

bool beginDrawingOnTerminal() {
    const sigset_t blocked = drawingBlockedSignals();
    pthread_sigmask(SIG_BLOCK, &blocked, &maskBeforeDrawing);
    // Announced before the session is looked at, and the steps change the session before they
    // look at this: one of the two always sees the other.
    // This thread's own mark first: a crash from here on gives the frame up rather than wait
    // for itself.
    drawingHere.store(true);
    handlerState.drawing.store(true);
    if (mayDraw(currentState())) {
        return true;
    }
    endDrawingOnTerminal();
    return false;
}

void endDrawingOnTerminal() {
    handlerState.drawing.store(false);
    drawingHere.store(false);
    pthread_sigmask(SIG_SETMASK, &maskBeforeDrawing, nullptr);
}

bool takeRepaintRequest() { return handlerState.repaint.exchange(false); }

void noteColourOnTerminal() { handlerState.coloured.store(true); }

void endAfterLostOutput(int status) {
    endTerminalSession();
    // _Exit, not exit: the other threads are still running, and static destructors must not
    // pull the game's state out from under them.
    std::_Exit(status);
}

void endAfterClosedTerminal() { onEndingSignal(SIGHUP); }

}  // namespace brickstorm::platform
