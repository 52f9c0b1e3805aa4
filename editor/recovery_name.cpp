#include "editor/recovery_name.h"

#include <cstdint>

namespace brickstorm::editor {

namespace {

constexpr std::string_view kSuffix = ".recovery";
// File systems allow 255 bytes in a name; this leaves room for the hash and the suffix.
constexpr std::size_t kLongestEscaped = 200;
constexpr std::size_t kKeptEnd = 160;

bool keptAsItIs(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

// FNV-1a, 64 bits: enough to tell apart paths that share their last part.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string hexOf(std::uint64_t value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        hex[static_cast<std::size_t>(i)] = kDigits[value & 0xfU];
        value >>= 4U;
    }
    return hex;
}

}  // namespace

std::string recoveryFileName(std::string_view fullPath) {
    std::string escaped;
    for (const char c : fullPath) {
        if (keptAsItIs(c)) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hexOf(static_cast<unsigned char>(c), 2);
        }
    }
    if (escaped.size() > kLongestEscaped) {
        escaped = hexOf(hashOf(fullPath), 16) + "-" + escaped.substr(escaped.size() - kKeptEnd);
    }
    return escaped + std::string(kSuffix);
}

}  // namespace brickstorm::editor
