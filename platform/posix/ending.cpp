// The program's end as the ending signal it was asked to end by would have made it.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/terminal.h"

namespace brickstorm::platform {

namespace {

int signalOf(EndingRequest request) {
    switch (request) {
    case EndingRequest::Interrupt: return SIGINT;
    case EndingRequest::Terminate: return SIGTERM;
    case EndingRequest::HangUp: return SIGHUP;
    case EndingRequest::None: break;
    }
    return 0;
}

// The status a shell gives a program ended by `signal`, for the case where it cannot be raised.
constexpr int kSignalStatusBase = 128;

}  // namespace

void endAsRequested(EndingRequest request) {
    const int signal = signalOf(request);
    if (signal == 0) {
        std::exit(EXIT_SUCCESS);
    }
    // The default action, not the handler that turned the signal into a request.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t justThis;
    sigemptyset(&justThis);
    sigaddset(&justThis, signal);
    pthread_sigmask(SIG_UNBLOCK, &justThis, nullptr);
    raise(signal);
    _exit(kSignalStatusBase + signal);
}

}  // namespace brickstorm::platform
