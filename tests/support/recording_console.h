#pragma once

#include <string>
#include <vector>

#include "render/console.h"
#include "render/picture.h"

namespace brickstorm::testing {

// A console that keeps what it is asked to show: the text of every picture, one page each, so
// that a test can look at every screen or frame that was shown, and the last picture whole.
class RecordingConsole : public Console {
public:
    // The text of the last picture shown.
    const std::string& lastPage() const {
        static const std::string none;
        return pages.empty() ? none : pages.back();
    }

    std::vector<std::string> pages;
    Picture lastPicture;
    int screens = 0;  // the pictures shown as screens of their own, cleared and whole

private:
    void present(const Picture& picture, PictureChange change) override {
        pages.push_back(pictureText(picture));
        lastPicture = picture;
        if (change == PictureChange::Replace) {
            ++screens;
        }
    }
};

}  // namespace brickstorm::testing
