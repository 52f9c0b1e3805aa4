#include "platform/file_writing.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace brickstorm::platform {

namespace {

FileWriteResult failed(const char* what, DWORD error) {
    return {false, std::string(what) + ": " + std::system_category().message(static_cast<int>(error))};
}

// Closes the handle on every way out, unless it was closed on purpose.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD close() {
        if (!valid()) {
            return 0;
        }
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : GetLastError();
    }

private:
    HANDLE handle_;
};

// A name beside `path` that no other write of this process or another one takes at once.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".new-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

DWORD writeAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            return GetLastError();
        }
        data += written;
        size -= written;
    }
    return 0;
}

FileWriteResult fillTemporary(const std::string& temporary, std::string_view bytes, FileWriteSteps& steps) {
    DWORD error = static_cast<DWORD>(steps.failureAt(FileWriteStep::CreateTemporary));
    FileHandle file(error != 0 ? INVALID_HANDLE_VALUE
                               : CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (error == 0 && !file.valid()) {
        error = GetLastError();
    }
    if (error != 0) {
        return failed("cannot create the new file beside it", error);
    }
    error = static_cast<DWORD>(steps.failureAt(FileWriteStep::Write));
    if (error != 0) {
        static_cast<void>(writeAll(file.get(), bytes.data(), bytes.size() / 2));
    } else {
        error = writeAll(file.get(), bytes.data(), bytes.size());
    }
    if (error != 0) {
        return failed("cannot write the new file", error);
    }
    error = static_cast<DWORD>(steps.failureAt(FileWriteStep::Flush));
    if (error == 0 && !FlushFileBuffers(file.get())) {
        error = GetLastError();
    }
    if (error == 0) {
        error = file.close();
    }
    if (error != 0) {
        return failed("cannot flush the new file to the disk", error);
    }
    return {true, {}};
}

}  // namespace

FileWriteSteps& systemFileWriteSteps() {
    static FileWriteSteps steps;
    return steps;
}

void keepFileSizeLimitFromEndingTheProgram() {}  // no such limit, nor signal, here

std::optional<std::string> unwritableKind(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) {
        return std::nullopt;
    }
    return std::string(std::filesystem::is_directory(status) ? "a directory" : "a device") +
           ", not a regular file";
}

// The move below replaces names of regular files only; a hard link is as rare here as the tools
// that make one, and is not looked for.
FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes, FileWriteSteps& steps,
                                    const BeforeWritingInPlace& beforeInPlace) {
    static_cast<void>(beforeInPlace);
    if (auto refused = unwritableKind(path)) {
        return {false, *refused};
    }
    const std::string temporary = temporaryNameFor(path);
    FileWriteResult result = fillTemporary(temporary, bytes, steps);
    if (!result) {
        DeleteFileA(temporary.c_str());
        return result;
    }
    // Write-through: the move returns once it is on the disk, which is the folder's flush here.
    DWORD error = static_cast<DWORD>(steps.failureAt(FileWriteStep::Rename));
    if (error == 0 &&
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != 0) {
        DeleteFileA(temporary.c_str());
        return failed("cannot put the new file in place of the old one", error);
    }
    error = static_cast<DWORD>(steps.failureAt(FileWriteStep::FlushFolder));
    if (error != 0) {
        return failed("cannot flush its folder to the disk", error);
    }
    return {true, {}};
}

FileWriteResult makeFolders(const std::string& path) {
    if (path.empty()) {
        return {false, "no folder named"};
    }
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return {false, "cannot create it: " + error.message()};
    }
    if (!std::filesystem::is_directory(path, error)) {
        return {false, "it is not a folder"};
    }
    return {true, {}};
}

bool removeFile(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    return !error;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    // File times count 100-nanosecond steps.
    constexpr std::int64_t kNanosecondsPerTick = 100;
    const auto ticks = (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       static_cast<std::int64_t>(data.ftLastWriteTime.dwLowDateTime);
    const auto size =
        (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | static_cast<std::int64_t>(data.nFileSizeLow);
    return FileStamp{ticks * kNanosecondsPerTick, size, 0, 0};
}

FileLock FileLock::take(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    // Holders keep it for the milliseconds of a write: looked at again soon, then less often.
    constexpr DWORD kLongestPauseMs = 16;
    DWORD pauseMs = 1;
    const Clock::time_point deadline = Clock::now() + wait;
    FileLock lock;
    lock.path_ = path;
    for (;;) {
        // Shared with no one, and gone with the last handle: the lock and its removal in one.
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            lock.state_ = State::Held;
            lock.handle_ = reinterpret_cast<std::intptr_t>(file);
            return lock;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            lock.problem_ =
                "cannot make the lock file: " + std::system_category().message(static_cast<int>(error));
            return lock;
        }
        if (Clock::now() >= deadline) {
            lock.state_ = State::Busy;
            return lock;
        }
        Sleep(pauseMs);
        pauseMs = pauseMs * 2 > kLongestPauseMs ? kLongestPauseMs : pauseMs * 2;
    }
}

void FileLock::release() {
    if (handle_ != -1) {
        // The header shared with POSIX keeps the handle as a number, as a descriptor is there.
        CloseHandle(reinterpret_cast<HANDLE>(handle_));  // NOLINT(performance-no-int-to-ptr)
        handle_ = -1;
    }
    state_ = State::Failed;
}

}  // namespace brickstorm::platform
