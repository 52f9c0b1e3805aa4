#include "app/game_runner.h"

#include <cstdlib>
#include <utility>

#include "core/key_codes.h"

namespace brickstorm::app {

GameRunner::GameRunner(Setup setup) : setup_(std::move(setup)) {
    ticker_ = std::jthread([this](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        runPaced(setup_.tickPeriod, setup_.tick, stop);
    });
    drawer_ = std::jthread([this](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        renderLoop(setup_.state, setup_.stateLock, setup_.console, setup_.layout, setup_.controls,
                   setup_.framePeriod, stop);
    });
}

GameRunner::~GameRunner() { stop(false); }

void GameRunner::alsoRun(std::function<void(const std::stop_token&)> work) {
    helpers_.emplace_back([work = std::move(work)](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        work(stop);
    });
}

KeysEnd GameRunner::playKeys(const std::function<bool(int)>& key) {
    platform::KeyReader keys;
    while (const auto code = keys.next()) {
        if (*code != kEndingRequestKey) {
            if (key(*code)) {
                return {};
            }
        } else if (const platform::EndingRequest request = platform::takeEndingRequest();
                   request != platform::EndingRequest::None) {
            return {.request = request};
        }
    }
    // A hang-up closes the input and asks to end at about the same moment, in either order: the
    // request, if it came, is taken at the end (endAfterRun).
    return {.inputEnded = true, .terminalClosed = keys.fromTerminal()};
}

void GameRunner::stop(bool programEnding) {
    if (programEnding) {
        platform::stopWaitingOnTheTerminal();
    }
    for (std::jthread* thread : {&ticker_, &drawer_}) {
        if (thread->joinable()) {
            thread->request_stop();
            thread->join();
        }
    }
    for (std::jthread& helper : helpers_) {
        helper.request_stop();
    }
    for (std::jthread& helper : helpers_) {
        if (helper.joinable()) {
            helper.join();
        }
    }
    helpers_.clear();
}

void endAfterRun(const KeysEnd& end, int status) {
    platform::EndingRequest request = end.request;
    if (request == platform::EndingRequest::None) {
        request = platform::takeEndingRequest();
    }
    if (request == platform::EndingRequest::None && end.terminalClosed) {
        // Closed without a word (or before the SIGHUP arrived): the end a hang-up gives.
        request = platform::EndingRequest::HangUp;
    }
    if (request != platform::EndingRequest::None) {
        platform::endAsRequested(request);
    }
    std::exit(status);
}

}  // namespace brickstorm::app
