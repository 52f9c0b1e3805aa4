#include "screens/screens.h"

#include <memory>
#include <optional>
#include <utility>
#include <variant>

#include "render/scene.h"
#include "screens/screen_texts.h"
#include "screens/text_screen.h"

namespace brickstorm {

namespace {

// What one pass draws, copied out of the shared state so that it can be drawn without the lock.
struct TextRequest {
    ScreenLines lines;
    std::size_t bannerLines = 0;
    bool firstDrawing = true;  // false when a screen already shown is drawn again at a new size
};
// The enemies' faces are copied into the render thread's own list (ShownPictures::enemyFaces),
// whose memory is kept from pass to pass.
struct ViewRequest {
    std::shared_ptr<const FaceChunks> levelFaces;
    Vec3 cameraPosition;
    double cameraYaw = 0.0;
    ViewSettings view;
};
using ScreenRequest = std::variant<std::monostate, TextRequest, ViewRequest>;

bool isTextScreen(const std::string& name) {
    return name == kScreenIntro || name == kScreenLevelIntro || name == kScreenDeath || name == kScreenClosing;
}

TextRequest textRequest(const RenderState& render, const ControlNames& controls) {
    const std::string& name = render.drawScreen;
    if (name == kScreenIntro) {
        return TextRequest{titleScreenLines(), kTitleBannerLines};
    }
    if (name == kScreenLevelIntro) {
        return TextRequest{levelScreenLines(render.shownLevel, controls, render.shownTitle)};
    }
    if (name == kScreenClosing) {
        return TextRequest{closingScreenLines(render.shownLevel, render.shownFirstLevel)};
    }
    return TextRequest{deathScreenLines(render.deathMessage)};
}

// A text screen is drawn once; a screen already drawn only again when the layout has changed
// since, so that a resized window shows it whole at its new size.
ScreenRequest takeRequest(const RenderState& render, bool layoutChanged, const ControlNames& controls,
                          FaceList& enemyFaces) {
    const bool text = isTextScreen(render.drawScreen);
    if (render.screenDrawn && !(text && layoutChanged)) {
        return {};
    }
    if (text) {
        TextRequest request = textRequest(render, controls);
        request.firstDrawing = !render.screenDrawn;
        return request;
    }
    if (render.drawScreen == kScreenGame) {
        // Faces and camera are taken together: a frame never mixes two ticks.
        enemyFaces.assign(render.enemyFaces.begin(), render.enemyFaces.end());
        return ViewRequest{render.levelFaces, render.cameraPosition, render.cameraYaw, render.view};
    }
    return {};
}

// In a window below the smallest, a notice takes the place of every screen.
void drawSmallWindowNotice(const PictureLayout& layout, Console& console) {
    console.showScreen(textScreenPicture(smallWindowLines(layout.columns), layout.columns, layout.lines));
}

void drawText(const TextRequest& request, const PictureLayout& layout, Console& console) {
    if (!layout.fitted) {
        console.showScreen(textScreenPicture(request.lines));
        return;
    }
    if (belowSmallestWindow(layout)) {
        drawSmallWindowNotice(layout, console);
        return;
    }
    console.showScreen(
        textScreenPicture(fitScreenLines(request.lines, request.bannerLines, layout.columns, layout.lines),
                          layout.columns, layout.lines));
}

void drawView(ViewRequest& request, const PictureLayout& layout, Console& console, ShownPictures& shown) {
    FrameBuffer& frame = shown.frame;
    std::int32_t columns = kFrameColumns;
    std::int32_t lines = kFrameRows;
    if (layout.fitted) {
        if (belowSmallestWindow(layout)) {
            drawSmallWindowNotice(layout, console);
            return;
        }
        request.view = fittedView(request.view, layout.columns, layout.lines, layout.cellAspect);
        columns = layout.columns;
        lines = layout.lines;
    }
    if (frame.columnCount != columns || frame.rowCount != lines) {
        frame.resizeFrame(columns, lines);
    }
    static const FaceChunks kNoLevel;
    const FaceChunks& level = request.levelFaces ? *request.levelFaces : kNoLevel;
    frame.drawQuads(renderScene(request.view, level, shown.enemyFaces, request.cameraPosition,
                                request.cameraYaw, shown.scene),
                    console);
}

}  // namespace

void drawScreens(GameState& state, std::mutex& stateLock, Console& console, const PictureLayout& layout,
                 ShownPictures& shown, const ControlNames& controls) {
    const bool layoutChanged = shown.layout && *shown.layout != layout;
    ScreenRequest request;
    {
        const std::lock_guard lock(stateLock);
        request = takeRequest(state.render, layoutChanged, controls, shown.enemyFaces);
    }
    if (auto* text = std::get_if<TextRequest>(&request)) {
        drawText(*text, layout, console);
        shown.layout = layout;
        if (text->firstDrawing) {
            // Raised only now that the screen is out in full (or, in a window too small for it,
            // the notice that asks for a larger one, so that keys still work there): until then
            // no key may leave it. Nothing can replace the request meanwhile, since every switch
            // waits for this flag. A screen drawn again leaves the flag alone: by then a key may
            // already have moved on to the next screen.
            const std::lock_guard lock(stateLock);
            state.render.screenDrawn = true;
        }
    } else if (auto* view = std::get_if<ViewRequest>(&request)) {
        drawView(*view, layout, console, shown);
        shown.layout = layout;
    }
}

void drawScreens(GameState& state, std::mutex& stateLock, Console& console) {
    ShownPictures none;
    drawScreens(state, stateLock, console, PictureLayout{}, none);
}

}  // namespace brickstorm
