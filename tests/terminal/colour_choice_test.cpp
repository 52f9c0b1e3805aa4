#include "terminal/colour_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace brickstorm::terminal {
namespace {

constexpr std::optional<std::string_view> kUnset;

ColourEnvironment terminalWith(std::optional<std::string_view> term, std::optional<std::string_view> colorTerm,
                               std::optional<std::string_view> noColor = kUnset) {
    return {true, term, colorTerm, noColor};
}

TEST(ColourChoice, DepthFromTheEnvironment) {
    struct Case {
        std::optional<std::string_view> term;
        std::optional<std::string_view> colorTerm;
        ColourDepth depth = ColourDepth::Basic16;
    };
    for (const Case& c : {
             Case{"xterm-256color", "truecolor", ColourDepth::Direct24},
             Case{"xterm", "24bit", ColourDepth::Direct24},
             Case{kUnset, "truecolor", ColourDepth::Direct24},
             Case{"xterm-256color", kUnset, ColourDepth::Palette256},
             Case{"screen-256color", "yes", ColourDepth::Palette256},  // COLORTERM says nothing of the depth
             Case{"tmux-256color", "", ColourDepth::Palette256},
             Case{"xterm", kUnset, ColourDepth::Basic16},
             Case{"linux", "TRUECOLOR", ColourDepth::Basic16},  // the names are lower case
             Case{kUnset, kUnset, ColourDepth::Basic16},
         }) {
        SCOPED_TRACE(::testing::Message()
                     << c.term.value_or("(unset)") << " " << c.colorTerm.value_or("(unset)"));
        EXPECT_EQ(detectedDepth(terminalWith(c.term, c.colorTerm)), c.depth);
    }
}

TEST(ColourChoice, WhenToColour) {
    struct Case {
        const char* what = "";
        ColourWhen when = ColourWhen::Never;
        ColourEnvironment environment;
        bool coloured = false;
    };
    const ColourEnvironment pipe{false, "xterm-256color", kUnset, kUnset};
    for (const Case& c : {
             Case{"never", ColourWhen::Never, terminalWith("xterm-256color", "truecolor"), false},
             Case{"auto on a terminal", ColourWhen::Auto, terminalWith("xterm", kUnset), true},
             Case{"auto with TERM unset", ColourWhen::Auto, terminalWith(kUnset, kUnset), true},
             Case{"auto with NO_COLOR", ColourWhen::Auto, terminalWith("xterm", kUnset, "1"), false},
             Case{"auto with NO_COLOR empty", ColourWhen::Auto, terminalWith("xterm", kUnset, ""), true},
             Case{"auto on a dumb terminal", ColourWhen::Auto, terminalWith("dumb", kUnset), false},
             Case{"auto into a pipe", ColourWhen::Auto, pipe, false},
             Case{"always with NO_COLOR", ColourWhen::Always, terminalWith("xterm", kUnset, "1"), true},
             Case{"always on a dumb terminal", ColourWhen::Always, terminalWith("dumb", kUnset), true},
             Case{"always into a pipe: plain text", ColourWhen::Always, pipe, false},
         }) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(chooseColour(c.when, std::nullopt, c.environment).has_value(), c.coloured);
    }
}

TEST(ColourChoice, ForcedDepthReplacesTheDetectedOne) {
    const ColourEnvironment basic = terminalWith("xterm", kUnset);
    EXPECT_EQ(chooseColour(ColourWhen::Always, std::nullopt, basic), ColourDepth::Basic16Faint);
    EXPECT_EQ(chooseColour(ColourWhen::Always, ColourDepth::Direct24, basic), ColourDepth::Direct24);
    EXPECT_EQ(chooseColour(ColourWhen::Auto, ColourDepth::Palette256, basic), ColourDepth::Palette256);
    // A depth alone does not turn colour on.
    EXPECT_EQ(chooseColour(ColourWhen::Never, ColourDepth::Palette256, basic), std::nullopt);
}

// Faint text darkens the far half at 16 colours, except on the Linux console, which draws faint
// text in a fixed grey instead of its colour.
TEST(ColourChoice, SixteenColoursComeWithFaintTextWhereTheTerminalShowsIt) {
    struct Case {
        std::optional<std::string_view> term;
        std::optional<ColourDepth> forced;
        ColourDepth depth = ColourDepth::Basic16;
    };
    for (const Case& c : {
             Case{"xterm", std::nullopt, ColourDepth::Basic16Faint},
             Case{"xterm-256color", ColourDepth::Basic16, ColourDepth::Basic16Faint},
             Case{kUnset, std::nullopt, ColourDepth::Basic16Faint},
             Case{"linux", std::nullopt, ColourDepth::Basic16},
             Case{"linux-16color", ColourDepth::Basic16, ColourDepth::Basic16},
             Case{"linux", ColourDepth::Palette256, ColourDepth::Palette256},
             Case{"xterm", ColourDepth::Direct24, ColourDepth::Direct24},
         }) {
        SCOPED_TRACE(c.term.value_or("(unset)"));
        EXPECT_EQ(chooseColour(ColourWhen::Always, c.forced, terminalWith(c.term, kUnset)), c.depth);
    }
}

}  // namespace
}  // namespace brickstorm::terminal
