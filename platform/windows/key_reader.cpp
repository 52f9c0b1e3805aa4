// Single keys from the Windows console, or bytes from standard input when it is not a console.

#include <conio.h>
#include <windows.h>

#include <array>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "core/key_codes.h"
#include "platform/terminal.h"
#include "platform/windows/console_mouse.h"
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

// What a wait on the console brought.
enum class ConsoleInput { Key, Mouse, Stop };

// Takes the first waiting input record if it is a mouse event; its report, if the editor uses
// it, goes to `report`. False if the first record is something else.
bool takeMouseEvent(HANDLE input, bool& leftDown, std::optional<int>& report) {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (!PeekConsoleInputW(input, &record, 1, &count) || count == 0 || record.EventType != MOUSE_EVENT) {
        return false;
    }
    ReadConsoleInputW(input, &record, 1, &count);
    // The record's type, checked above, says which member of the union holds the event.
    const MOUSE_EVENT_RECORD& mouse =
        record.Event.MouseEvent;  // NOLINT(cppcoreguidelines-pro-type-union-access)
    if ((mouse.dwEventFlags & (MOUSE_WHEELED | MOUSE_HWHEELED | DOUBLE_CLICK)) != 0) {
        return true;
    }
    // The event's place is in the screen buffer; the reports count from the window's top left.
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &screen);
    const ConsoleMouseEvent event{
        (mouse.dwButtonState & FROM_LEFT_1ST_BUTTON_PRESSED) != 0, (mouse.dwEventFlags & MOUSE_MOVED) != 0,
        mouse.dwMousePosition.X - screen.srWindow.Left, mouse.dwMousePosition.Y - screen.srWindow.Top};
    if (const auto shown = mouseReportOf(event, leftDown)) {
        report = mouseCode(*shown);
    }
    leftDown = event.leftDown;
    return true;
}

// Waits for a key press on the console, a mouse report or an ending request, whichever comes
// first; other input (focus and window events) is passed over on the way. Stop for a request or
// a console that is gone: the caller tells which.
ConsoleInput waitForConsoleInput(bool& leftDown, std::optional<int>& report) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const std::array<HANDLE, 2> waits{input, endingRequestEvent()};
    for (;;) {
        const DWORD woken =
            WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0) {
            return ConsoleInput::Stop;
        }
        // Mouse events first: the key check below passes over every record that is not a key.
        while (takeMouseEvent(input, leftDown, report)) {
            if (report) {
                return ConsoleInput::Mouse;
            }
        }
        if (_kbhit() != 0) {
            return ConsoleInput::Key;
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
    bool leftDown = false;    // the console's left mouse button, as its last event left it

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
        std::optional<int> report;
        switch (waitForConsoleInput(impl_->leftDown, report)) {
        case ConsoleInput::Key: return readConsoleKey();
        case ConsoleInput::Mouse: return report;
        case ConsoleInput::Stop: break;
        }
        if (takeRequest()) {
            return kEndingRequestKey;
        }
        return std::nullopt;
    }
    return impl_->nextFromBytes();
}

bool KeyReader::waiting() const {
    // The console's C library keeps an extended key's second code for the next _getch.
    return impl_->console ? _kbhit() != 0 : !impl_->ready.empty();
}

}  // namespace brickstorm::platform
