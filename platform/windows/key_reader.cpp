// Single keys from the Windows console, or bytes from standard input when it is not a console.

#include <conio.h>
#include <windows.h>

#include <array>
#include <deque>
#include <utility>
#include <vector>

#include "core/key_codes.h"
#include "platform/terminal.h"
#include "platform/windows/console_session.h"
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

// An ending request has come (see deferEndingSignals): handed out once.
bool takeRequest() {
    const HANDLE request = endingRequestEvent();
    if (WaitForSingleObject(request, 0) != WAIT_OBJECT_0) {
        return false;
    }
    ResetEvent(request);
    return true;
}

// Waits for a key press on the console or an ending request, whichever comes first; other
// input (focus, mouse and window events) is passed over on the way. True for a key.
bool waitForConsoleKey() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const std::array<HANDLE, 2> waits{input, endingRequestEvent()};
    for (;;) {
        const DWORD woken =
            WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0) {
            return false;  // a request, or the console is gone: the caller tells which
        }
        if (_kbhit() != 0) {
            return true;
        }
    }
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
    bool requested = false;   // a read was cut short by an ending request
    HANDLE thread = nullptr;  // this reader's thread, for a request to cut its read short

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
        if (!ReadFile(input, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
            // An ending request cancels the read (nothing was lost); anything else ends input.
            requested = GetLastError() == ERROR_OPERATION_ABORTED;
            return std::nullopt;
        }
        if (count == 0) {
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
        if (!byte && std::exchange(requested, false)) {
            return kEndingRequestKey;
        }
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

KeyReader::~KeyReader() {
    if (impl_->thread != nullptr) {
        noteKeyReaderThread(nullptr);
        CloseHandle(impl_->thread);
    }
}

std::optional<int> KeyReader::next() {
    if (impl_->thread == nullptr) {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &impl_->thread, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        noteKeyReaderThread(impl_->thread);
    }
    if (takeRequest()) {
        return kEndingRequestKey;
    }
    if (impl_->console) {
        if (!waitForConsoleKey()) {
            if (takeRequest()) {
                return kEndingRequestKey;
            }
            return std::nullopt;
        }
        return readConsoleKey();
    }
    return impl_->nextFromBytes();
}

}  // namespace brickstorm::platform
