#include "render/frame_buffer.h"

namespace brickstorm {

// PLACEHOLDER: replaced by the frame buffer implementation.
void FrameBuffer::clearFrame() {
    rows.assign(kFrameRows, std::vector<unsigned char>(kFrameColumns, 0));
    filledCount = 0;
}
void FrameBuffer::fillQuad(const ScreenQuad&) {}
void FrameBuffer::presentFrame(Console& console) {
    console.clear();
    console.write(frameText(*this));
    clearFrame();
}
void FrameBuffer::drawQuads(std::vector<ScreenQuad> quads, Console& console) {
    for (const auto& quad : quads) fillQuad(quad);
    presentFrame(console);
}
std::string frameText(const FrameBuffer&) { return {}; }

}  // namespace brickstorm
