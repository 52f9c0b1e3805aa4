#include "platform/file_reading.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace brickstorm::platform {

namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 16;

}  // namespace

FileReadResult readFilePieces(const std::string& path, const FilePieceReader& take) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {FileReadStatus::Missing, {}};
    }
    if (status.type() == std::filesystem::file_type::directory) {
        return {FileReadStatus::Directory, {}};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {FileReadStatus::Unreadable, error ? error.message() : "cannot be opened"};
    }
    std::array<char, kPieceBytes> buffer{};
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(file.gcount());
        if (count > 0 && !take(std::string_view(buffer.data(), count))) {
            return {FileReadStatus::Stopped, {}};
        }
    }
    if (file.bad()) {
        return {FileReadStatus::Unreadable, "a read failed"};
    }
    return {FileReadStatus::Read, {}};
}

}  // namespace brickstorm::platform
