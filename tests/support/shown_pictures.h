#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/pty_session.h"
#include "support/vterm_screen.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::testing {

// The pictures a program has shown on a pseudo-terminal so far: the window's first `rows` lines
// after each synchronized update, as a terminal emulator shows them (the program may send only
// what changed). Reads the output as it grows.
class ShownPictures {
public:
    ShownPictures(int rows, int columns, int pictureRows)
        : window_(rows, columns), rows_(pictureRows), columns_(columns) {}

    const std::vector<std::string>& read(std::string_view output) {
        for (auto end = output.find(terminal::kEndUpdate, fed_); end != std::string_view::npos;
             end = output.find(terminal::kEndUpdate, fed_)) {
            const auto next = end + terminal::kEndUpdate.size();
            window_.feed(output.substr(fed_, next - fed_));
            fed_ = next;
            all_.push_back(window_.text(rows_, columns_));
        }
        return all_;
    }

    // The window is resized: what came before is taken in at the old size, and later pictures
    // are read as the first `pictureRows` lines of `pictureColumns` cells.
    void resize(std::string_view outputSoFar, int rows, int columns, int pictureRows, int pictureColumns) {
        read(outputSoFar);
        window_.resize(rows, columns);
        rows_ = pictureRows;
        columns_ = pictureColumns;
    }

private:
    VtermScreen window_;
    int rows_;
    int columns_;
    std::size_t fed_ = 0;
    std::vector<std::string> all_;
};

// Waits until the last whole picture on the terminal satisfies `condition`; returns it, or
// nothing at the deadline.
inline std::optional<std::string> waitForPicture(const PtySession& session, ShownPictures& shown,
                                                 const std::function<bool(const std::string&)>& condition,
                                                 std::chrono::milliseconds patience = PtySession::kPatience) {
    std::optional<std::string> seen;
    session.waitForOutput(
        [&](std::string_view output) {
            const auto& all = shown.read(output);
            if (!all.empty() && condition(all.back())) {
                seen = all.back();
            }
            return seen.has_value();
        },
        patience);
    return seen;
}

// Types `key` on a text screen until the window shows a picture that satisfies `condition`. A
// text screen drops a key that comes before the game has marked it drawn, a moment after the
// picture is out; on a busy machine a key typed at once can fall into that moment, and is then
// typed again.
inline std::optional<std::string> pressUntil(PtySession& session, ShownPictures& shown, const char* key,
                                             const std::function<bool(const std::string&)>& condition) {
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        session.send(key);
        if (auto picture = waitForPicture(session, shown, condition, PtySession::kPatience / kAttempts)) {
            return picture;
        }
    }
    return std::nullopt;
}

inline auto showing(std::string_view text) {
    return [text](const std::string& picture) { return picture.find(text) != std::string::npos; };
}

// Waits until no new picture has come for `still`: whatever was under way has ended.
inline bool waitUntilStill(const PtySession& session, ShownPictures& shown,
                           std::chrono::milliseconds still = std::chrono::milliseconds(800)) {
    const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::size_t count = shown.read(session.output()).size();
        if (!session.waitForOutput([&](std::string_view output) { return shown.read(output).size() > count; },
                                   still)) {
            return true;
        }
    }
    return false;
}

}  // namespace brickstorm::testing
