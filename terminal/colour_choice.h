#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "render/colour.h"

// Whether the picture is coloured, and in how many colours: decided once, from what the player
// asked for and what the environment says of the terminal. Pure: each platform reads its own
// environment into a ColourEnvironment.
namespace brickstorm::terminal {

// When to colour, as the player asks for it.
enum class ColourWhen : std::uint8_t {
    Never,   // monochrome: not a single colour sequence is sent
    Auto,    // when the output is a terminal that is not "dumb" and NO_COLOR is unset or empty
    Always,  // whenever the output is a terminal
};

// What the environment says of the terminal. An unset variable is nothing; a set one, even
// empty, is its text.
struct ColourEnvironment {
    bool outputIsTerminal = false;
    std::optional<std::string_view> term;       // TERM
    std::optional<std::string_view> colorTerm;  // COLORTERM
    std::optional<std::string_view> noColor;    // NO_COLOR
};

// How many colours the terminal shows: 24-bit when COLORTERM says "truecolor" or "24bit", the
// 256-colour palette when TERM names 256 colours, the 16 basic colours otherwise.
ColourDepth detectedDepth(const ColourEnvironment& environment);

// Whether the terminal shows faint text (SGR 2) as a darker shade of its colour. A terminal
// ignores an attribute it does not have, so only the ones known to show faint text wrongly are
// left out: the Linux console (TERM "linux" or "linux-..."), which draws it in one fixed grey
// instead of its colour.
bool showsFaint(const ColourEnvironment& environment);

// The colours to show the picture in; nothing for monochrome. `forcedDepth` replaces the
// detected depth. The 16 basic colours come with faint text where the terminal shows it.
std::optional<ColourDepth> chooseColour(ColourWhen when, std::optional<ColourDepth> forcedDepth,
                                        const ColourEnvironment& environment);

}  // namespace brickstorm::terminal
