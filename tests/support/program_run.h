#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brickstorm::testing {

// What a run of the program without a terminal gave.
struct ProgramRun {
    int status = -1;  // the exit status, or -1 if it did not exit normally
    std::string out;
    std::string err;
};

// Reads a descriptor to its end.
inline std::string readToEnd(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n = 0; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// Runs `program` with `arguments`, standard input at its end and both outputs captured. The
// outputs are read one after the other, so each must fit a pipe's buffer: a few pages at most.
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments) {
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) {
        ADD_FAILURE() << "no pipes";
        return {};
    }
    // Made before the fork: the child only rewires its descriptors and starts the program.
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        const int none = ::open("/dev/null", O_RDONLY);
        ::dup2(none, 0);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    ProgramRun run;
    run.out = readToEnd(out[0]);
    run.err = readToEnd(err[0]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace brickstorm::testing
