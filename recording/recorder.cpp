#include "recording/recorder.h"

#include <utility>

#include "core/key_codes.h"
#include "core/state_hash.h"

namespace brickstorm {

void Recorder::keyHandled(std::int64_t tick, int code, const GameState& /*state*/) {
    // An extended key's two codes share a line: the prefix, and the code handled right after it
    // with no tick between. The line is still pending then, since lines are taken after ticks.
    if (openPrefixTick_ == tick && openPrefixLine_ < pending_.size()) {
        pending_.resize(openPrefixLine_);
        pending_ += keyLine({tick, {openPrefix_, code}}, true);
        openPrefixTick_ = -1;
        return;
    }
    openPrefixLine_ = pending_.size();
    openPrefix_ = code;
    pending_ += keyLine({tick, {code}}, true);
    const bool prefix = code == kFunctionKeyPrefix || code == kNavigationKeyPrefix;
    openPrefixTick_ = prefix ? tick : -1;
}

void Recorder::ticked(std::int64_t tick, bool /*onGameScreen*/, const GameState& state) {
    openPrefixTick_ = -1;
    if (tick % kStateLineTicks == 0) {
        pending_ += stateLine({tick, stateHash(state)});
        flushDue_ = true;
    }
}

void Recorder::end(std::int64_t tick) {
    openPrefixTick_ = -1;
    pending_ += endLine(tick);
    flushDue_ = true;
}

std::string Recorder::takeLines() {
    flushDue_ = false;
    openPrefixTick_ = -1;
    return std::exchange(pending_, {});
}

}  // namespace brickstorm
