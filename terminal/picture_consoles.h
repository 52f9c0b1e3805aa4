#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "render/colour.h"
#include "render/console.h"
#include "render/picture.h"
#include "terminal/byte_sink.h"
#include "terminal/picture_update.h"
#include "terminal/shown_picture.h"

// The game's console on a display, whatever the operating system: the bytes that put each
// picture on it, handed to the platform's byte sink. Each console is used by one thread only.
namespace brickstorm::terminal {

// The picture with every cell in the display's own colour.
Picture withoutColour(Picture picture);

// The picture as plain text: each cell's character as `encode` gives it, `lineEnd` between lines.
std::string encodedText(const Picture& picture, CellEncoder encode, std::string_view lineEnd);

// What the two consoles share: their sink, and what they do once it is lost.
class SinkConsole : public Console {
public:
    // A request to repaint that came before a picture in a new layout, which goes whole anyway.
    void dropRepaint() override { static_cast<void>(repaintRequested()); }

protected:
    explicit SinkConsole(std::unique_ptr<ByteSink> sink) : sink_(std::move(sink)) {}

    // Hands `bytes` to the sink; nothing at all, and never again, once writing has failed for good
    // (a dead output must not be retried in a loop). Nothing is sent for no bytes.
    Delivery send(std::string_view bytes);
    // True when the display lost its picture and the output still lives.
    bool repaintRequested();

private:
    std::unique_ptr<ByteSink> sink_;
    bool lost_ = false;
};

// How a display that interprets the control sequences is written to.
struct ControlSequenceDisplay {
    CellEncoder encode = nullptr;  // one cell's character in the display's character set
    // Every picture sent whole, instead of only the cells that changed: for terminals that do
    // not keep what they were sent, and for comparing.
    bool fullRedraw = false;
    std::optional<ColourDepth> colour;  // nothing for monochrome
};

// The console of a terminal, or of a console that reads the same control sequences: every
// picture in one synchronized update; a frame as only the cells that changed while the window
// is known to show the last picture in the same layout; a screen, or any picture after the
// window lost track, cleared and sent whole.
class ControlSequenceConsole final : public SinkConsole {
public:
    ControlSequenceConsole(std::unique_ptr<ByteSink> sink, ControlSequenceDisplay display);

    std::optional<ColourDepth> colourDepth() const override { return display_.colour; }
    // The last picture again, whole, when the display lost it.
    void refresh() override;

private:
    void present(const Picture& picture, PictureChange change) override;
    void deliver(std::string_view bytes);

    ControlSequenceDisplay display_;
    ShownPicture shown_;
};

// How an output of plain text is written to.
struct PlainTextDisplay {
    CellEncoder encode = nullptr;
    std::string_view lineEnd = "\n";  // between two lines of a picture
    // Before every picture but the first: a line feed sets each picture apart in a file; a
    // console that clears itself needs nothing.
    std::string_view betweenPictures = "\n";
};

// The console of an output that takes no control sequences (a file, a pipe, a console that lacks
// them): every picture whole as its characters, line by line, uncoloured.
class PlainTextConsole final : public SinkConsole {
public:
    PlainTextConsole(std::unique_ptr<ByteSink> sink, PlainTextDisplay display);

    // The last picture again when the display lost it; a file or a pipe never does.
    void refresh() override;

private:
    void present(const Picture& picture, PictureChange change) override;

    PlainTextDisplay display_;
    bool shownBefore_ = false;
    std::string last_;  // the text of the last picture, as it was sent
};

}  // namespace brickstorm::terminal
