#include "screens/screens.h"

#include <optional>
#include <utility>
#include <variant>

#include "render/scene.h"
#include "screens/screen_texts.h"

namespace brickstorm {

namespace {

// What one pass draws, copied out of the shared state so that it can be drawn without the lock.
struct TextRequest {
    ScreenLines lines;
};
struct ViewRequest {
    FaceList faces;
    Vec3 cameraPosition;
    double cameraYaw = 0.0;
    ViewSettings view;
    FrameBuffer frame;
};
using ScreenRequest = std::variant<std::monostate, TextRequest, ViewRequest>;

ScreenRequest takeRequest(const RenderState& render) {
    if (render.screenDrawn) {
        return {};
    }
    const std::string& name = render.drawScreen;
    if (name == kScreenIntro) {
        return TextRequest{titleScreenLines()};
    }
    if (name == kScreenLevelIntro) {
        return TextRequest{levelScreenLines(render.shownLevel)};
    }
    if (name == kScreenDeath) {
        return TextRequest{deathScreenLines(render.deathMessage)};
    }
    if (name == kScreenClosing) {
        return TextRequest{closingScreenLines(render.shownLevel)};
    }
    if (name == kScreenGame) {
        // Faces and camera are taken together: a frame never mixes two ticks.
        return ViewRequest{render.sceneFaces, render.cameraPosition, render.cameraYaw, render.view,
                           render.frame};
    }
    return {};
}

void drawText(const TextRequest& request, Console& console) {
    console.clear();
    console.write(composeTextScreen(request.lines));
}

void drawView(ViewRequest& request, Console& console) {
    auto quads = renderView(request.view, std::move(request.faces), request.cameraPosition, request.cameraYaw);
    request.frame.drawQuads(quads, console);
}

}  // namespace

void drawScreens(GameState& state, std::mutex& stateLock, Console& console) {
    ScreenRequest request;
    {
        const std::lock_guard lock(stateLock);
        request = takeRequest(state.render);
    }
    if (auto* text = std::get_if<TextRequest>(&request)) {
        drawText(*text, console);
        // Raised only now that the screen is out in full: until then no key may leave it.
        // Nothing can replace the request meanwhile, since every switch waits for this flag.
        const std::lock_guard lock(stateLock);
        state.render.screenDrawn = true;
    } else if (auto* view = std::get_if<ViewRequest>(&request)) {
        drawView(*view, console);
    }
}

}  // namespace brickstorm
