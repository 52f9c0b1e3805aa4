// SGR mouse reports: the left button's press, drag and release become mouse codes with the cell
// counted from 0; everything else a mouse sends is dropped, and keys around reports still decode.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "core/key_codes.h"
#include "terminal/key_decoder.h"

namespace brickstorm::terminal {
namespace {

std::vector<int> decode(std::string_view bytes) {
    KeyDecoder decoder;
    std::vector<int> codes;
    for (const char byte : bytes) {
        for (const int code : decoder.feed(static_cast<unsigned char>(byte))) {
            codes.push_back(code);
        }
    }
    for (const int code : decoder.flush()) {
        codes.push_back(code);
    }
    return codes;
}

TEST(MouseReportTest, TheLeftButtonIsReportedWithItsCell) {
    struct Case {
        std::string_view bytes;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"\x1b[<0;1;1M", {mouseCode({MouseAction::Press, 0, 0})}},
        {"\x1b[<32;12;7M", {mouseCode({MouseAction::Drag, 11, 6})}},
        {"\x1b[<0;80;24m", {mouseCode({MouseAction::Release, 79, 23})}},
        {"\x1b[<16;3;4M", {mouseCode({MouseAction::Press, 2, 3})}},  // with Ctrl: the same click
        {"a\x1b[<0;5;5Mb", {'a', mouseCode({MouseAction::Press, 4, 4}), 'b'}},
        {"\x1b[<2;5;5M", {}},      // the right button
        {"\x1b[<1;5;5M", {}},      // the middle one
        {"\x1b[<64;5;5M", {}},     // the wheel
        {"\x1b[<35;5;5M", {}},     // a move with no button held
        {"\x1b[<0;0;5M", {}},      // no cell 0
        {"\x1b[<0;5M", {}},        // a number missing
        {"\x1b[<0;5;5;5M", {}},    // one too many
        {"\x1b[<0;5;5A", {}},      // not a report's ending
        {"\x1b[<0;99999;5M", {}},  // beyond any window
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), c.codes) << c.bytes.substr(1);
    }
}

TEST(MouseReportTest, ACodeGivesItsReportBack) {
    for (const MouseAction action : {MouseAction::Press, MouseAction::Drag, MouseAction::Release}) {
        const MouseReport report{action, 4095, 17};
        EXPECT_EQ(mouseReport(mouseCode(report)), report);
    }
    EXPECT_EQ(mouseReport(mouseCode({MouseAction::Press, 5000, -3})),
              (MouseReport{MouseAction::Press, 4095, 0}));
    for (const int key : {0, 27, 224, 255, 256, 1000}) {
        EXPECT_FALSE(mouseReport(key)) << key;
    }
}

}  // namespace
}  // namespace brickstorm::terminal
