#include "platform/appending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brickstorm::platform {

struct AppendingFile::Impl {
    int fd = -1;
    std::string problem;
};

AppendingFile::AppendingFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
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
    while (!bytes.empty()) {
        const ssize_t count = ::write(impl_->fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            result.problem = std::string("cannot add to the file: ") + std::strerror(errno);
            return result;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
        result.added += static_cast<std::size_t>(count);
    }
    return result;
}

}  // namespace brickstorm::platform
