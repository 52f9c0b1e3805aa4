#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Runs a program on a pseudo-terminal of its own, the way a player's shell runs it: the program
// is the foreground job of a terminal session whose leader stands in for the shell, so the
// terminal's signal keys and job control (Ctrl+C, Ctrl+Z, resuming) behave as they would for a
// person at a terminal. A test types bytes, sends signals, resizes the window, reads the
// terminal's settings and everything the program wrote, and waits for it to stop or end.
//
// Every wait takes a deadline and returns as soon as its condition holds; deadlines are
// generous limits for a slow machine, not expectations of speed.
namespace brickstorm::testing {

class PtySession {
public:
    enum class Input {
        Terminal,  // standard input is the terminal
        DevNull,   // standard input is /dev/null (at its end from the start)
    };
    enum class Output {
        Terminal,    // standard output is the terminal
        Closed,      // standard output is closed
        BrokenPipe,  // standard output is a pipe that nobody reads (its read end closed)
    };

    struct Options {
        std::string program;
        std::vector<std::string> arguments;
        unsigned short columns = 91;
        unsigned short rows = 61;
        // The pixels of one cell the terminal reports: square by default, so that a window
        // large enough gets the full picture; 0 reports no pixels (the cells' shape unknown).
        unsigned short cellWidth = 8;
        unsigned short cellHeight = 8;
        Input input = Input::Terminal;
        Output output = Output::Terminal;
        // Set in the program's environment on top of the test's own.
        std::vector<std::string> environment{"LC_ALL=C.UTF-8"};
    };

    // A generous limit for anything a healthy program does at once.
    static constexpr std::chrono::milliseconds kPatience{10000};

    // Starts the program; fails the calling test if that is impossible (see started()).
    explicit PtySession(Options options);
    // Kills the program if it still runs and waits for it.
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    // False if the program could not be started; every other call then does nothing.
    bool started() const { return program_ > 0; }
    pid_t pid() const { return program_; }

    // Input as typed at the keyboard (the terminal's signal keys included).
    void send(std::string_view bytes);
    void sendSignal(int signal);
    // Changes the window size (its cells keep their shape); the terminal tells the program with
    // SIGWINCH.
    void resize(unsigned short columns, unsigned short rows);

    // The terminal's settings before the program started, and now.
    const termios& initialSettings() const { return initial_; }
    termios settings() const;
    // Changes them from outside, as a shell does when a job stops.
    void setSettings(const termios& settings);
    bool waitForSettings(const std::function<bool(const termios&)>& condition,
                         std::chrono::milliseconds timeout = kPatience) const;

    // Everything the program has written to the terminal so far.
    std::string output() const;
    bool waitForOutput(const std::function<bool(std::string_view)>& condition,
                       std::chrono::milliseconds timeout = kPatience) const;
    bool waitForOutputContaining(std::string_view text, std::chrono::milliseconds timeout = kPatience) const;

    // The program's wait status once it has ended (use the W* macros); nothing if it still runs
    // at the deadline. Once it returns a status, output() holds everything the program wrote:
    // the last bytes a program writes may still be on their way to the reader when it ends.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = kPatience);
    bool hasExited() const { return status_.has_value(); }

    // Job-control state, as the system reports it.
    bool waitUntilStopped(std::chrono::milliseconds timeout = kPatience) const;
    bool waitUntilRunning(std::chrono::milliseconds timeout = kPatience) const;

    // Processor time the program has used so far, all its threads together.
    std::chrono::milliseconds processorTime() const;

private:
    void readOutput();
    void waitForAllOutput(std::chrono::milliseconds timeout);
    char processState() const;

    int master_ = -1;
    int slave_ = -1;       // kept open to read the terminal's settings at any time
    int report_ = -1;      // the stand-in shell reports the program's pid and wait status here
    int wake_[2]{-1, -1};  // stops the output reader
    pid_t shell_ = -1;
    unsigned short cellWidth_ = 0;
    unsigned short cellHeight_ = 0;
    pid_t program_ = -1;
    termios initial_{};
    std::optional<int> status_;

    mutable std::mutex outputLock_;
    mutable std::condition_variable outputGrew_;
    std::string output_;
    std::thread reader_;
};

// True if two sets of terminal settings are the same in every field a program can change.
bool sameSettings(const termios& a, const termios& b);
// The fields in which two sets differ, for failure messages.
std::string settingsDifference(const termios& a, const termios& b);

}  // namespace brickstorm::testing
