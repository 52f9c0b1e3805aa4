#include "world/display_text.h"

#include <cstddef>
#include <cstdint>

namespace brickstorm {

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7e;
// Below this a code point is a C0 or C1 control character, DEL included.
constexpr std::uint32_t kFirstPrintableBeyondAscii = 0xa0;

// The length of the well-formed UTF-8 sequence of a printable character at the start of `text`
// (two to four bytes), or 0 where there is none: a stray or overlong byte, a surrogate, a C1
// control, or a sequence cut short.
std::size_t printableUtf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    std::uint32_t least = 0;
    if ((lead & 0xe0U) == 0xc0U) {
        length = 2, codePoint = lead & 0x1fU, least = 0x80;
    } else if ((lead & 0xf0U) == 0xe0U) {
        length = 3, codePoint = lead & 0x0fU, least = 0x800;
    } else if ((lead & 0xf8U) == 0xf0U) {
        length = 4, codePoint = lead & 0x07U, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xc0U) != 0x80U) {
            return 0;
        }
        codePoint = (codePoint << 6U) | (next & 0x3fU);
    }
    const bool surrogate = codePoint >= 0xd800 && codePoint <= 0xdfff;
    if (codePoint < least || codePoint > 0x10ffff || surrogate || codePoint < kFirstPrintableBeyondAscii) {
        return 0;
    }
    return length;
}

void appendHexEscape(std::string& shown, unsigned char byte) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    shown += "\\x";
    shown += kHexDigits[byte >> 4U];
    shown += kHexDigits[byte & 0xfU];
}

}  // namespace

std::string escapedForDisplay(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t taken = 1;
        if (byte == '\\') {
            shown += "\\\\";
        } else if (byte >= kFirstPrintable && byte <= kLastPrintable) {
            shown += text[0];
        } else if (const std::size_t length = printableUtf8Length(text); length > 0) {
            shown += text.substr(0, length);
            taken = length;
        } else {
            appendHexEscape(shown, byte);
        }
        text.remove_prefix(taken);
    }
    return shown;
}

std::string quotedForDisplay(std::string_view text) {
    // Appended piece by piece: "'" + std::string makes GCC 12 warn falsely (-Wrestrict).
    std::string shown(1, '\'');
    shown += escapedForDisplay(text);
    shown += '\'';
    return shown;
}

}  // namespace brickstorm
