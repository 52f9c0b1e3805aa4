// Single keys from the Windows console, or bytes from standard input when it is not a console.

#include <conio.h>
#include <windows.h>

#include <array>
#include <deque>
#include <vector>

#include "platform/terminal.h"
#include "terminal/key_decoder.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

// The code of Ctrl+C as a key.
constexpr int kCtrlC = 3;

// How long a pending Escape from a pipe waits for the rest of a sequence before it counts as
// the Escape key on its own. Sequences arrive in one piece, so a short wait is enough.
constexpr ULONGLONG kSequenceWaitMs = 50;
constexpr DWORD kSequencePollMs = 5;

constexpr std::size_t kReadChunk = 64;

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// One key press from the console. _getch switches the console to raw mode for the read (no
// echo, no line editing, Ctrl+C as a key) and gives an extended key as its prefix
// (kFunctionKeyPrefix or kNavigationKeyPrefix) and then its own code on the next call: the
// game's key codes as they are.
std::optional<int> readConsoleKey() {
    const int code = _getch();
    if (code < 0 || code > 255) {
        return std::nullopt;  // the console is gone
    }
    if (code == kCtrlC) {
        // Raw mode turns Ctrl+C into a key. It is passed on as the console's interrupt, so that
        // it ends the game as it ends any console program (and as it does on other systems);
        // the game gets the code too, and ignores it.
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    }
    return code;
}

void append(std::deque<int>& ready, const std::vector<int>& codes) {
    ready.insert(ready.end(), codes.begin(), codes.end());
}

}  // namespace

// Not a console (a pipe, a file, a terminal of another environment): bytes, read with ReadFile
// rather than the C library, whose text mode would swallow carriage returns and end the input
// at a Ctrl+Z byte. They pass through the same decoder as a terminal's bytes on other systems,
// so that a terminal on the far end of a pipe gets its arrow keys; the console's own two-code
// form passes through it unchanged.
struct KeyReader::Impl {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    bool console = isConsole(input);

    KeyDecoder decoder;
    std::deque<int> ready;  // codes decoded and not yet handed out
    std::array<unsigned char, kReadChunk> buffer{};
    std::size_t start = 0;
    std::size_t end = 0;
    bool ended = false;

    std::optional<int> nextFromBytes();
    bool waitForByte();
    std::optional<unsigned char> readByte();
};

// True once a byte can be read at once (or the read will tell that input has ended); false if
// none came within the wait.
bool KeyReader::Impl::waitForByte() {
    if (start < end) {
        return true;
    }
    const ULONGLONG deadline = GetTickCount64() + kSequenceWaitMs;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) || available > 0) {
            // Data, a closed pipe, or not a pipe at all (a file answers a read at once).
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kSequencePollMs);
    }
}

std::optional<unsigned char> KeyReader::Impl::readByte() {
    if (start == end) {
        DWORD count = 0;
        if (!ReadFile(input, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr) ||
            count == 0) {
            return std::nullopt;
        }
        start = 0;
        end = count;
    }
    return buffer[start++];
}

std::optional<int> KeyReader::Impl::nextFromBytes() {
    while (ready.empty()) {
        if (ended) {
            return std::nullopt;
        }
        if (decoder.pending() && !waitForByte()) {
            append(ready, decoder.flush());
            continue;
        }
        const auto byte = readByte();
        if (!byte) {
            ended = true;
            append(ready, decoder.flush());
            continue;
        }
        append(ready, decoder.feed(*byte));
    }
    const int code = ready.front();
    ready.pop_front();
    return code;
}

KeyReader::KeyReader() : impl_(std::make_unique<Impl>()) {}

KeyReader::~KeyReader() = default;

std::optional<int> KeyReader::next() {
    if (impl_->console) {
        return readConsoleKey();
    }
    return impl_->nextFromBytes();
}

}  // namespace brickstorm::platform
