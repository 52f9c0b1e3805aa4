// Prints the 3D frame of the built-in level as seen from a camera given on the command line:
//
//     brickstorm_print_frame X Y Z YAW [--raw]
//
// By default the game's single-byte shade and block characters are shown as their UTF-8 shapes
// so that the frame can be looked at in any terminal; with --raw the console text is written
// byte for byte, as the game hands it to the console. The number of faces drawn and of cells
// filled goes to standard error.

#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

#include "render/console.h"
#include "render/frame_buffer.h"
#include "render/level_geometry.h"
#include "render/scene.h"
#include "world/level.h"
#include "world/level_table.h"

namespace {

using namespace brickstorm;

constexpr std::string_view kUsage = "usage: brickstorm_print_frame X Y Z YAW [--raw]\n";
constexpr std::string_view kRawFlag = "--raw";

// The UTF-8 shape of one byte of the game's character set; bytes below 128 stand for themselves.
std::string_view utf8Shape(unsigned char byte) {
    switch (byte) {
    case kFillLightShade: return "\xE2\x96\x91";       // light shade
    case kFillMediumShade: return "\xE2\x96\x92";      // medium shade
    case kFillDarkShade: return "\xE2\x96\x93";        // dark shade
    case kFillFullBlock: return "\xE2\x96\x88";        // full block
    case kFillTopHalfIntegral: return "\xE2\x8C\xA0";  // top half integral
    case kFillDivisionSign: return "\xC3\xB7";         // division sign
    case kFillDegreeSign: return "\xC2\xB0";           // degree sign
    default: return byte < 128 ? std::string_view() : "?";
    }
}

// Writes to standard output, raw or mapped; there is no window to clear.
class PrintingConsole : public Console {
public:
    explicit PrintingConsole(bool raw) : raw_(raw) {}

private:
    void present(const Picture& picture, PictureChange) override {
        for (const char c : pictureText(picture)) {
            const auto byte = static_cast<unsigned char>(c);
            const std::string_view shape = raw_ ? std::string_view() : utf8Shape(byte);
            if (shape.empty()) {
                std::cout.put(c);
            } else {
                std::cout << shape;
            }
        }
        if (!raw_) {
            std::cout << '\n';  // the frame's last line has none; a terminal prompt would join it
        }
    }

    bool raw_;
};

std::optional<double> parseNumber(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    const bool raw = argc == 6 && std::string_view(argv[5]) == kRawFlag;
    if (argc != 5 && !raw) {
        std::cerr << kUsage;
        return 2;
    }
    std::array<double, 4> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto number = parseNumber(argv[i + 1]);
        if (!number) {
            std::cerr << kUsage;
            return 2;
        }
        numbers[i] = *number;
    }

    const FaceList faces = buildLevelFaces(Level(levelTable()[0]));
    const std::vector<ScreenQuad> quads =
        renderView(ViewSettings{}, faces, Vec3{numbers[0], numbers[1], numbers[2]}, numbers[3]);
    FrameBuffer frame;
    for (const ScreenQuad& quad : quads) {
        frame.fillQuad(quad);
    }
    std::cerr << "faces " << faces.size() << ", drawn " << quads.size() << ", cells filled "
              << frame.filledCount << '\n';
    PrintingConsole console(raw);
    frame.presentFrame(console);
    return 0;
}
