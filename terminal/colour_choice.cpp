#include "terminal/colour_choice.h"

namespace brickstorm::terminal {

namespace {

bool isSetAndNotEmpty(std::optional<std::string_view> value) { return value && !value->empty(); }

}  // namespace

ColourDepth detectedDepth(const ColourEnvironment& environment) {
    if (environment.colorTerm == "truecolor" || environment.colorTerm == "24bit") {
        return ColourDepth::Direct24;
    }
    if (environment.term && environment.term->find("256") != std::string_view::npos) {
        return ColourDepth::Palette256;
    }
    return ColourDepth::Basic16;
}

bool showsFaint(const ColourEnvironment& environment) {
    const std::string_view term = environment.term.value_or("");
    return term != "linux" && !term.starts_with("linux-");
}

std::optional<ColourDepth> chooseColour(ColourWhen when, std::optional<ColourDepth> forcedDepth,
                                        const ColourEnvironment& environment) {
    // Colour is carried by the cells of a terminal's picture; a file or a pipe gets plain text.
    if (!environment.outputIsTerminal || when == ColourWhen::Never) {
        return std::nullopt;
    }
    if (when == ColourWhen::Auto && (environment.term == "dumb" || isSetAndNotEmpty(environment.noColor))) {
        return std::nullopt;
    }
    const ColourDepth depth = forcedDepth ? *forcedDepth : detectedDepth(environment);
    if (depth == ColourDepth::Basic16 && showsFaint(environment)) {
        return ColourDepth::Basic16Faint;
    }
    return depth;
}

}  // namespace brickstorm::terminal
