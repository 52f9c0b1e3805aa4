#include "platform/appending_file.h"

#include <windows.h>

#include <string>

namespace brickstorm::platform {

namespace {

// The system's words for its last error.
std::string lastErrorText() {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string words = length > 0 && text != nullptr ? std::string(text, length) : "unknown error";
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) {
        words.pop_back();
    }
    return words;
}

}  // namespace

struct AppendingFile::Impl {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string problem;
};

AppendingFile::AppendingFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
    // Appending access only: every write lands at the end. Others may read it meanwhile, and
    // rename or delete it, as they could on a POSIX system.
    impl_->file =
        CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (impl_->file == INVALID_HANDLE_VALUE) {
        impl_->problem = "cannot be opened to add to it: " + lastErrorText();
    }
}

AppendingFile::~AppendingFile() {
    if (impl_->file != INVALID_HANDLE_VALUE) {
        CloseHandle(impl_->file);
    }
}

bool AppendingFile::isOpen() const { return impl_->file != INVALID_HANDLE_VALUE; }

const std::string& AppendingFile::problem() const { return impl_->problem; }

AppendResult AppendingFile::append(std::string_view bytes) {
    AppendResult result;
    if (impl_->file == INVALID_HANDLE_VALUE) {
        result.problem = impl_->problem;
        return result;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD size = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
        if (!WriteFile(impl_->file, bytes.data(), size, &written, nullptr)) {
            result.problem = "cannot add to the file: " + lastErrorText();
            return result;
        }
        if (written == 0) {
            result.problem = "cannot add to the file: nothing was written";
            return result;
        }
        bytes.remove_prefix(written);
        result.added += written;
    }
    return result;
}

}  // namespace brickstorm::platform
