#include "arena/protocol_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <utility>

#include "world/display_text.h"

namespace brickstorm {

namespace {

constexpr std::int64_t kMostInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kLeastInt32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMostTick = std::int64_t{1} << 62;
constexpr std::int64_t kMostYaw = 3599;          // tenths of a degree, below a full turn
constexpr std::size_t kMostShownWordBytes = 24;  // of a word repeated in an error

ProtocolError error(std::string what) { return ProtocolError{std::move(what)}; }

// A line's words, split at single spaces, and the text after them where a message ends in one.
class LineWords {
public:
    // Takes the first `count` words. With `textFollows`, whatever follows the space after them
    // is the text (it may hold spaces, or be absent); without, the line holds exactly `count`
    // words. An empty word (two spaces, a space at either end) leaves the line incomplete.
    LineWords(std::string_view line, std::size_t count, bool textFollows) {
        std::string_view rest = line;
        bool more = true;  // whether a space ended the last word taken
        for (std::size_t i = 0; i < count; ++i) {
            if (!more) {
                return;  // too few words
            }
            const std::size_t space = rest.find(' ');
            words_.push_back(rest.substr(0, space));
            more = space != std::string_view::npos;
            rest = more ? rest.substr(space + 1) : std::string_view{};
        }
        if (more && !textFollows) {
            return;  // a word too many, or a space at the end
        }
        text_ = rest;
        complete_ =
            std::none_of(words_.begin(), words_.end(), [](std::string_view word) { return word.empty(); });
    }

    bool complete() const { return complete_; }
    std::string_view operator[](std::size_t i) const { return words_[i]; }
    std::string_view text() const { return text_; }

private:
    std::vector<std::string_view> words_;
    std::string_view text_;
    bool complete_ = false;
};

std::optional<std::int64_t> number(std::string_view word, std::int64_t least, std::int64_t most) {
    if (word.empty() || word.front() == '+') {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, problem] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (problem != std::errc{} || end != word.data() + word.size() || value < least || value > most) {
        return std::nullopt;
    }
    return value;
}

bool isScreen(std::string_view word) {
    return std::find(std::begin(kArenaScreens), std::end(kArenaScreens), word) != std::end(kArenaScreens);
}

std::string shownWord(std::string_view word) {
    return quotedForDisplay(word.substr(0, kMostShownWordBytes)) +
           (word.size() > kMostShownWordBytes ? "..." : "");
}

ProtocolError malformed(std::string_view kind) { return error("a malformed " + std::string(kind) + " line"); }

std::string_view firstWord(std::string_view line) { return line.substr(0, line.find(' ')); }

std::optional<ProtocolError> parseJoin(std::string_view line, ClientMessage& message) {
    const LineWords words(line, 2, true);
    const auto version = words.complete() ? number(words[1], 0, kMostInt32) : std::nullopt;
    if (!version) {
        return malformed("join");
    }
    JoinMessage join{static_cast<std::int32_t>(*version), {}};
    // Another version's join is read no further: its name follows that version's rules.
    if (join.version == kArenaProtocolVersion) {
        if (!isArenaName(words.text())) {
            return error("the name " + shownWord(words.text()) + " is not 1 to " +
                         std::to_string(kMostNameBytes) + " letters, digits, '-', '_' or '.'");
        }
        join.name = words.text();
    }
    message = std::move(join);
    return std::nullopt;
}

std::optional<ProtocolError> parseKeys(std::string_view line, ClientMessage& message) {
    KeysMessage keys;
    std::string_view rest = line.substr(std::min(line.size(), std::string_view("keys").size()));
    while (!rest.empty()) {
        if (rest.front() != ' ' || keys.codes.size() == kMostKeysPerLine) {
            return malformed("keys");
        }
        rest.remove_prefix(1);
        const std::string_view word = firstWord(rest);
        const auto code = number(word, 0, 255);
        if (!code) {
            return error("the key code " + shownWord(word) + " is not one from 0 to 255");
        }
        keys.codes.push_back(static_cast<int>(*code));
        rest.remove_prefix(word.size());
    }
    if (keys.codes.empty()) {
        return malformed("keys");
    }
    message = std::move(keys);
    return std::nullopt;
}

// The text after a message's name: absent, or after one space, at most kMostReasonBytes.
std::optional<std::string> trailingText(std::string_view line, std::string_view name) {
    std::string_view rest = line.substr(name.size());
    if (!rest.empty()) {
        rest.remove_prefix(1);  // the space: the first word ended at it
    }
    if (rest.size() > kMostReasonBytes) {
        return std::nullopt;
    }
    return std::string(rest);
}

std::optional<ProtocolError> parseFramePlayer(std::string_view line, FramePlayer& player) {
    const LineWords w(line, 11, false);
    if (!w.complete()) {
        return malformed("player");
    }
    const auto id = number(w[1], 0, kMostInt32);
    const auto hue = number(w[2], 0, kArenaHueCount - 1);
    const auto x = number(w[3], kLeastInt32, kMostInt32);
    const auto y = number(w[4], kLeastInt32, kMostInt32);
    const auto z = number(w[5], kLeastInt32, kMostInt32);
    const auto yaw = number(w[6], 0, kMostYaw);
    const auto kills = number(w[8], 0, kMostInt32);
    const auto wins = number(w[9], 0, kMostInt32);
    if (!id || !hue || !x || !y || !z || !yaw || !isScreen(w[7]) || !kills || !wins || !isArenaName(w[10])) {
        return malformed("player");
    }
    player = FramePlayer{static_cast<std::int32_t>(*id),
                         static_cast<std::int32_t>(*hue),
                         static_cast<std::int32_t>(*x),
                         static_cast<std::int32_t>(*y),
                         static_cast<std::int32_t>(*z),
                         static_cast<std::int32_t>(*yaw),
                         std::string(w[7]),
                         static_cast<std::int32_t>(*kills),
                         static_cast<std::int32_t>(*wins),
                         std::string(w[10])};
    return std::nullopt;
}

std::optional<ProtocolError> parseFrameEnemy(std::string_view line, FrameEnemy& enemy) {
    const LineWords w(line, 5, false);
    if (!w.complete()) {
        return malformed("enemy");
    }
    const auto x = number(w[1], kLeastInt32, kMostInt32);
    const auto y = number(w[2], kLeastInt32, kMostInt32);
    const auto z = number(w[3], kLeastInt32, kMostInt32);
    const auto yaw = number(w[4], 0, kMostYaw);
    if (!x || !y || !z || !yaw) {
        return malformed("enemy");
    }
    enemy = FrameEnemy{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y),
                       static_cast<std::int32_t>(*z), static_cast<std::int32_t>(*yaw)};
    return std::nullopt;
}

std::optional<ProtocolError> parseWelcome(std::string_view line, WelcomeMessage& welcome) {
    const LineWords head(line, 2, true);
    const auto version = head.complete() ? number(head[1], 0, kMostInt32) : std::nullopt;
    if (!version) {
        return malformed("welcome");
    }
    welcome = WelcomeMessage{static_cast<std::int32_t>(*version), 0, false, 0};
    if (welcome.version != kArenaProtocolVersion) {
        return std::nullopt;  // the client refuses it by its version
    }
    const LineWords w(line, 5, false);
    const auto id = w.complete() ? number(w[2], 0, kMostInt32) : std::nullopt;
    const auto hue = w.complete() ? number(w[4], 0, kArenaHueCount - 1) : std::nullopt;
    if (!id || !hue || (w[3] != "coop" && w[3] != "versus")) {
        return malformed("welcome");
    }
    welcome.playerId = static_cast<std::int32_t>(*id);
    welcome.versus = w[3] == "versus";
    welcome.hue = static_cast<std::int32_t>(*hue);
    return std::nullopt;
}

}  // namespace

std::optional<ProtocolError> LineCutter::cut(std::string_view bytes, std::vector<std::string>& lines) {
    if (broken_) {
        return broken_;
    }
    for (const char c : bytes) {
        if (c == '\n') {
            lines.push_back(std::move(partial_));
            partial_.clear();
            continue;
        }
        if (c < ' ' || c > '~') {
            char shown[8];
            std::snprintf(shown, sizeof shown, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            broken_ = error(std::string("the byte ") + shown + ", not printable ASCII");
            return broken_;
        }
        if (partial_.size() == mostLineBytes_) {
            broken_ = error("a line longer than " + std::to_string(mostLineBytes_) + " bytes");
            return broken_;
        }
        partial_ += c;
    }
    return std::nullopt;
}

std::optional<ProtocolError> parseClientLine(std::string_view line, ClientMessage& message) {
    const std::string_view name = firstWord(line);
    if (name == "join") {
        return parseJoin(line, message);
    }
    if (name == "keys") {
        return parseKeys(line, message);
    }
    if (name == "leave") {
        std::optional<std::string> reason = trailingText(line, name);
        if (!reason) {
            return malformed("leave");
        }
        message = LeaveMessage{std::move(*reason)};
        return std::nullopt;
    }
    return error("an unknown message " + shownWord(name));
}

std::optional<ProtocolError> ClientStreamReader::read(std::string_view bytes,
                                                      std::vector<ClientMessage>& messages) {
    if (broken_) {
        return broken_;
    }
    std::vector<std::string> lines;
    const std::optional<ProtocolError> cutError = lines_.cut(bytes, lines);
    // The lines before a broken byte still count, in order.
    for (const std::string& line : lines) {
        ClientMessage message;
        if (std::optional<ProtocolError> problem = parseClientLine(line, message)) {
            broken_ = std::move(problem);
            return broken_;
        }
        messages.push_back(std::move(message));
    }
    broken_ = cutError;
    return broken_;
}

std::optional<ProtocolError> ServerStreamReader::read(std::string_view bytes,
                                                      std::vector<ServerMessage>& messages) {
    if (broken_) {
        return broken_;
    }
    std::vector<std::string> lines;
    const std::optional<ProtocolError> cutError = lines_.cut(bytes, lines);
    for (const std::string& line : lines) {
        if (std::optional<ProtocolError> problem = readLine(line, messages)) {
            broken_ = std::move(problem);
            return broken_;
        }
    }
    broken_ = cutError;
    return broken_;
}

std::optional<ProtocolError> ServerStreamReader::readLine(std::string_view line,
                                                          std::vector<ServerMessage>& messages) {
    if (frame_) {
        return readFrameLine(line, messages);
    }
    const std::string_view name = firstWord(line);
    if (name == "welcome") {
        WelcomeMessage welcome;
        if (std::optional<ProtocolError> problem = parseWelcome(line, welcome)) {
            return problem;
        }
        messages.emplace_back(welcome);
        return std::nullopt;
    }
    if (name == "refused" || name == "bye") {
        std::optional<std::string> reason = trailingText(line, name);
        if (!reason) {
            return malformed(name);
        }
        if (name == "bye") {
            messages.emplace_back(ByeMessage{std::move(*reason)});
        } else {
            messages.emplace_back(RefusedMessage{std::move(*reason)});
        }
        return std::nullopt;
    }
    if (name != "frame") {
        return error("an unknown message " + shownWord(name));
    }
    const LineWords w(line, 6, true);
    const auto tick = w.complete() ? number(w[1], 0, kMostTick) : std::nullopt;
    const auto level = w.complete() ? number(w[2], 1, kMostInt32) : std::nullopt;
    const auto players = w.complete() ? number(w[4], 0, kMostArenaPlayers) : std::nullopt;
    const auto enemies = w.complete() ? number(w[5], 0, kMostFrameEnemies) : std::nullopt;
    if (!tick || !level || !isScreen(w[3]) || !players || !enemies || w.text().size() > kMostReasonBytes) {
        return malformed("frame");
    }
    WorldFrame frame;
    frame.tick = *tick;
    frame.level = static_cast<std::int32_t>(*level);
    frame.screen = w[3];
    frame.message = w.text();
    playersLeft_ = static_cast<std::size_t>(*players);
    enemiesLeft_ = static_cast<std::size_t>(*enemies);
    frame_ = std::move(frame);
    finishFrame(messages);
    return std::nullopt;
}

// A frame's body: its players' lines, then its enemies'.
std::optional<ProtocolError> ServerStreamReader::readFrameLine(std::string_view line,
                                                               std::vector<ServerMessage>& messages) {
    if (playersLeft_ > 0) {
        FramePlayer player;
        if (firstWord(line) != "player") {
            return error("a frame's player line missing");
        }
        if (std::optional<ProtocolError> problem = parseFramePlayer(line, player)) {
            return problem;
        }
        frame_->players.push_back(std::move(player));
        --playersLeft_;
    } else {
        FrameEnemy enemy;
        if (firstWord(line) != "enemy") {
            return error("a frame's enemy line missing");
        }
        if (std::optional<ProtocolError> problem = parseFrameEnemy(line, enemy)) {
            return problem;
        }
        frame_->enemies.push_back(enemy);
        --enemiesLeft_;
    }
    finishFrame(messages);
    return std::nullopt;
}

void ServerStreamReader::finishFrame(std::vector<ServerMessage>& messages) {
    if (playersLeft_ == 0 && enemiesLeft_ == 0) {
        messages.emplace_back(std::move(*frame_));
        frame_.reset();
    }
}

}  // namespace brickstorm
