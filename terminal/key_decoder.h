#pragma once

#include <string>
#include <vector>

#include "core/key_codes.h"

// Turns the bytes a terminal sends for key presses into the game's key codes. Pure: no I/O and
// no clock. The caller feeds bytes as they arrive and calls flush() when no byte followed a
// pending escape within a short wait, which is the only way to tell the Escape key on its own
// from the first byte of a longer sequence.
namespace brickstorm::terminal {

// The Escape key pressed on its own.
inline constexpr int kEscapeKey = 27;

class KeyDecoder {
public:
    // The codes that this byte completes, in order: none while a sequence is still open, one
    // for an ordinary byte, two for an extended key (prefix, then the key's own code), and at
    // most two in any case. Every code is from 0 to 255, but for an SGR mouse report of the left
    // button, which gives one code of its own (see mouseCode).
    std::vector<int> feed(unsigned char byte);

    // No byte came within the wait: an open Escape is the Escape key; any other unfinished
    // sequence is dropped.
    std::vector<int> flush();

    // True while a sequence is open, so the caller knows to wait only briefly for the rest.
    bool pending() const { return state_ != State::Ground; }

private:
    enum class State {
        Ground,           // between keys
        Escape,           // after ESC
        ControlSeq,       // after ESC [ (parameters being collected)
        ShiftThree,       // after ESC O (the application-mode form)
        ConsoleFunction,  // after ESC [ [ (F1 to F5 on the system's own text console)
        Discard,          // a sequence that grew too long: swallowed up to its final byte
    };

    void startKey(unsigned char byte, std::vector<int>& codes);
    void collect(unsigned char byte, std::vector<int>& codes);
    void finishSequence(unsigned char final, std::vector<int>& codes);

    State state_ = State::Ground;
    State introducer_ = State::ControlSeq;  // which of ESC [ and ESC O opened the sequence
    std::string parameters_;                // bounded by kMaxParameterBytes
};

}  // namespace brickstorm::terminal
