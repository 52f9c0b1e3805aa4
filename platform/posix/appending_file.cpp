#include "platform/appending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_writing.h"
#include "platform/posix/fd_io.h"

namespace brickstorm::platform {

struct AppendingFile::Impl {
    int fd = -1;
    std::string problem;
};

AppendingFile::AppendingFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
    keepFileSizeLimitFromEndingTheProgram();
    impl_->fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
    if (impl_->fd < 0) {
        impl_->problem = std::string("cannot be opened to add to it: ") + std::strerror(errno);
    }
}

AppendingFile::~AppendingFile() {
    if (impl_->fd >= 0) {
        ::close(impl_->fd);
    }
}

bool AppendingFile::isOpen() const { return impl_->fd >= 0; }

const std::string& AppendingFile::problem() const { return impl_->problem; }

AppendResult AppendingFile::append(std::string_view bytes) {
    AppendResult result;
    if (impl_->fd < 0) {
        result.problem = impl_->problem;
        return result;
    }
    const FileBytesWritten written = writeToFile(systemCalls(), impl_->fd, bytes);
    result.added = written.count;
    if (written.error != 0) {
        result.problem = std::string("cannot add to the file: ") + writeErrorText(written.error);
    }
    return result;
}

}  // namespace brickstorm::platform
