#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Standard input and output replaced by pipes that a test owns, so that the platform code can be
// driven and watched through the same handles it uses in the game.
namespace brickstorm::testing {

// Standard input or output replaced by `handle` for the life of the object.
class StdHandleSwap {
public:
    StdHandleSwap(DWORD which, HANDLE handle) : which_(which), saved_(GetStdHandle(which)) {
        SetStdHandle(which, handle);
    }
    ~StdHandleSwap() { SetStdHandle(which_, saved_); }
    StdHandleSwap(const StdHandleSwap&) = delete;
    StdHandleSwap& operator=(const StdHandleSwap&) = delete;

private:
    DWORD which_;
    HANDLE saved_;
};

inline void closeIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    handle = INVALID_HANDLE_VALUE;
}

// An anonymous pipe: what the game gets as standard input when keys are piped in.
class Pipe {
public:
    Pipe() {
        if (!CreatePipe(&read_, &write_, nullptr, 0)) {
            read_ = write_ = INVALID_HANDLE_VALUE;
        }
    }
    ~Pipe() {
        closeIfOpen(read_);
        closeIfOpen(write_);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool valid() const { return read_ != INVALID_HANDLE_VALUE; }
    HANDLE readEnd() const { return read_; }

    bool send(std::string_view bytes) {
        DWORD written = 0;
        return bytes.empty() ||
               (WriteFile(write_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size());
    }

    // The end of input, as the reader sees it.
    void closeWriteEnd() { closeIfOpen(write_); }

private:
    HANDLE read_ = INVALID_HANDLE_VALUE;
    HANDLE write_ = INVALID_HANDLE_VALUE;
};

// A pipe in message mode, read by a thread of its own: every WriteFile call on its write end
// arrives as one message, so a test sees not only what was written but in how many writes.
class WriteRecorder {
public:
    WriteRecorder() {
        static std::atomic<int> serial{0};
        const std::string name = "\\\\.\\pipe\\brickstorm-test-" + std::to_string(GetCurrentProcessId()) +
                                 "-" + std::to_string(serial++);
        server_ = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, kBufferSize,
                                   kBufferSize, 0, nullptr);
        if (server_ == INVALID_HANDLE_VALUE) {
            return;
        }
        write_ = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (write_ == INVALID_HANDLE_VALUE) {
            return;
        }
        reader_ = std::thread([this] { collect(); });
    }
    ~WriteRecorder() { finish(); }
    WriteRecorder(const WriteRecorder&) = delete;
    WriteRecorder& operator=(const WriteRecorder&) = delete;

    bool valid() const { return write_ != INVALID_HANDLE_VALUE || reader_.joinable(); }
    HANDLE writeEnd() const { return write_; }

    // Closes the write end and gives every message that arrived, one per write, in order.
    std::vector<std::string> finish() {
        closeIfOpen(write_);
        if (reader_.joinable()) {
            reader_.join();
        }
        closeIfOpen(server_);
        return messages_;
    }

private:
    static constexpr DWORD kBufferSize = 1 << 16;

    void collect() {
        std::vector<char> buffer(kBufferSize);
        std::string message;
        for (;;) {
            DWORD count = 0;
            const BOOL whole = ReadFile(server_, buffer.data(), kBufferSize, &count, nullptr);
            if (!whole && GetLastError() != ERROR_MORE_DATA) {
                return;  // the write end is closed
            }
            message.append(buffer.data(), count);
            if (whole) {
                messages_.push_back(message);
                message.clear();
            }
        }
    }

    HANDLE server_ = INVALID_HANDLE_VALUE;
    HANDLE write_ = INVALID_HANDLE_VALUE;
    std::thread reader_;
    std::vector<std::string> messages_;
};

}  // namespace brickstorm::testing
