#include "terminal/output_encoding.h"

#include <algorithm>
#include <array>

namespace brickstorm::terminal {

namespace {

// The bytes beyond ASCII that the game draws with, and how each is shown.
//
// The ASCII stand-ins keep the order of density of the four shades, so that faces still read as
// lighter and darker, and avoid '#', the screen's edge; the three enemy characters get stand-ins
// of a similar shape that no wall uses:
//   176 light shade  -> ':'     177 medium shade -> '+'     178 dark shade -> '%'
//   219 full block   -> '@'     244 top half integral -> 'f'
//   246 division sign -> '/'    248 degree sign -> 'o'
struct SpecialByte {
    unsigned char byte;
    std::string_view utf8;
    std::string_view ascii;
};

constexpr std::array<SpecialByte, 7> kSpecialBytes{{
    {176, "\u2591", ":"},  // light shade
    {177, "\u2592", "+"},  // medium shade
    {178, "\u2593", "%"},  // dark shade
    {219, "\u2588", "@"},  // full block
    {244, "\u2320", "f"},  // top half integral
    {246, "\u00F7", "/"},  // division sign
    {248, "\u00B0", "o"},  // degree sign
}};

// Any other byte of 128 or more has no agreed shape: a visible mark beats a wrong guess.
constexpr std::string_view kUnknownByte = "?";

constexpr unsigned char kDelete = 127;

// The 128 ASCII bytes, each as a one-character view into this table.
constexpr std::array<char, 128> kAscii = [] {
    std::array<char, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<char>(i);
    }
    return table;
}();

// ASCII only, by hand: the <cctype> functions follow the process's locale, which is exactly
// what is being asked about.
std::string lowerWithoutPunctuation(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c >= 'A' && c <= 'Z') {
            result.push_back(static_cast<char>(c - 'A' + 'a'));
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            result.push_back(c);
        }
    }
    return result;
}

}  // namespace

std::string_view encodeByte(unsigned char byte, Charset charset) {
    if (byte < kAscii.size()) {
        return {&kAscii[byte], 1};
    }
    const auto* special = std::find_if(kSpecialBytes.begin(), kSpecialBytes.end(),
                                       [byte](const SpecialByte& entry) { return entry.byte == byte; });
    if (special == kSpecialBytes.end()) {
        return kUnknownByte;
    }
    return charset == Charset::Utf8 ? special->utf8 : special->ascii;
}

bool isControlByte(unsigned char byte) { return byte < ' ' || byte == kDelete; }

std::string_view encodeCell(unsigned char character, Charset charset) {
    return isControlByte(character) ? kUnknownByte : encodeByte(character, charset);
}

std::string_view encodeUtf8Cell(unsigned char character) { return encodeCell(character, Charset::Utf8); }
std::string_view encodeAsciiCell(unsigned char character) { return encodeCell(character, Charset::Ascii); }

void appendEncoded(std::string& out, std::string_view text, OutputStyle style) {
    for (const char c : text) {
        if (c == '\n' && style.lineEnd == LineEnd::CrLf) {
            out.append("\r\n");
        } else {
            out.append(encodeByte(static_cast<unsigned char>(c), style.charset));
        }
    }
}

Charset charsetForCodeset(std::string_view codeset) {
    // Spellings differ ("UTF-8", "utf8", "UTF8"); compare without case and punctuation.
    return lowerWithoutPunctuation(codeset) == "utf8" ? Charset::Utf8 : Charset::Ascii;
}

Charset charsetForLocaleName(std::string_view name) {
    // language_TERRITORY.codeset@modifier: only the codeset matters.
    const auto dot = name.find('.');
    if (dot == std::string_view::npos) {
        return Charset::Ascii;
    }
    auto codeset = name.substr(dot + 1);
    codeset = codeset.substr(0, codeset.find('@'));
    return charsetForCodeset(codeset);
}

}  // namespace brickstorm::terminal
