#include "recording/recording_reader.h"

#include <charconv>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "core/key_codes.h"
#include "world/display_text.h"

namespace brickstorm {

namespace {

constexpr std::string_view kMagic = "brickstorm-recording";
// A damaged line is shown up to this many bytes: enough to recognise it, never a flood.
constexpr std::size_t kShownLineBytes = 60;
constexpr int kMostCode = 255;
constexpr std::int32_t kMostLevel = 999;
constexpr std::size_t kHashDigits = 16;

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (true) {
        const std::size_t space = line.find(' ', start);
        words.push_back(
            line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start));
        if (space == std::string_view::npos) {
            return words;
        }
        start = space + 1;
    }
}

// A whole number of decimal digits only (no sign, no blank) from 0 to `most`.
std::optional<std::int64_t> readNumber(std::string_view text, std::int64_t most) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value > most) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> readHash(std::string_view text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.size() != kHashDigits) {
        return std::nullopt;
    }
    const auto [stop, error] = std::from_chars(text.data(), end, value, 16);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool isPrefix(std::int64_t code) { return code == kFunctionKeyPrefix || code == kNavigationKeyPrefix; }

std::string shownLine(std::string_view line) {
    if (line.size() <= kShownLineBytes) {
        return quotedForDisplay(line);
    }
    return quotedForDisplay(line.substr(0, kShownLineBytes)) + "...";
}

}  // namespace

// Reads the lines one by one, the header first, then the run.
class RecordingLines {
public:
    // False, with the problem kept, as soon as a line cannot be used.
    bool take(std::string_view line);
    // The recording once every line has been taken; `lines` is how many there were.
    RecordingReadResult finish(std::int64_t lines);
    RecordingProblem problem() const { return problem_; }
    // True once the header has been read in full.
    bool inRun() const { return expect_ == Expect::Body || expect_ == Expect::Nothing; }

private:
    enum class Expect { Magic, Program, Levels, MoreLevels, Start, Body, Nothing };

    bool fail(std::string what) {
        problem_ = {lineNumber_, std::move(what)};
        return false;
    }
    bool damaged(std::string_view line, const std::string& expected) {
        return fail("damaged line " + shownLine(line) + ": " + expected);
    }
    bool takeMagic(std::string_view line);
    bool takeLevel(std::string_view line);
    bool takeStart(std::string_view line);
    bool takeBodyLine(std::string_view line);
    bool takeKey(std::string_view line);
    // Keeps the run's lines in order: a tick never smaller than the last, and a state never
    // after a key of its own tick (it is the state before that key).
    bool inOrder(std::int64_t tick, RecordedEvent::Kind kind);

    Expect expect_ = Expect::Magic;
    std::int64_t lineNumber_ = 0;
    Recording recording_;
    RecordingProblem problem_;
};

bool RecordingLines::take(std::string_view line) {
    ++lineNumber_;
    if (lineNumber_ > kMostRecordingLines) {
        return fail("more than " + std::to_string(kMostRecordingLines) +
                    " lines, the most a recording may hold");
    }
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::vector<std::string_view> words = splitWords(line);
    switch (expect_) {
    case Expect::Magic: return takeMagic(line);
    case Expect::Program:
        if (words.size() < 2 || words[0] != "program" || words[1].empty()) {
            return damaged(line, "expected 'program VERSION'");
        }
        if (auto version = unescapedFromDisplay(line.substr(words[0].size() + 1))) {
            recording_.header.program = std::move(*version);
            expect_ = Expect::Levels;
            return true;
        }
        return damaged(line, "expected 'program VERSION'");
    case Expect::Levels:
        if (line == "levels built-in") {
            expect_ = Expect::Start;
            return true;
        }
        return takeLevel(line);
    case Expect::MoreLevels:
        if (words[0] == "start") {
            return takeStart(line);
        }
        return takeLevel(line);
    case Expect::Start: return takeStart(line);
    case Expect::Body: return takeBodyLine(line);
    case Expect::Nothing: return fail("a line after the end");
    }
    return false;
}

bool RecordingLines::takeMagic(std::string_view line) {
    const std::vector<std::string_view> words = splitWords(line);
    if (words[0] != kMagic) {
        return fail("not a recording: it does not begin with 'brickstorm-recording'");
    }
    const std::string_view version = line.substr(std::min(line.size(), kMagic.size() + 1));
    const auto number = words.size() == 2 ? readNumber(version, kMostLevel) : std::nullopt;
    if (!number || *number < kOldestRecordingVersion || *number > kRecordingVersion) {
        return fail("unknown format version " + quotedForDisplay(version) + ": this program reads versions " +
                    std::to_string(kOldestRecordingVersion) + " to " + std::to_string(kRecordingVersion));
    }
    recording_.header.version = static_cast<int>(*number);
    expect_ = Expect::Program;
    return true;
}

bool RecordingLines::takeLevel(std::string_view line) {
    const std::string next = std::to_string(recording_.header.levels.size() + 1);
    const std::string expected = recording_.header.levels.empty()
                                     ? "expected 'levels built-in' or 'level 1 NAME SIZE HASH'"
                                     : "expected 'level " + next + " NAME SIZE HASH' or 'start LEVEL'";
    const std::string prefix = "level " + next + " ";
    if (!line.starts_with(prefix)) {
        return damaged(line, expected);
    }
    std::string_view rest = line.substr(prefix.size());
    const std::size_t hashSpace = rest.rfind(' ');
    if (hashSpace == std::string_view::npos || hashSpace == 0) {
        return damaged(line, expected);
    }
    const std::size_t sizeSpace = rest.rfind(' ', hashSpace - 1);
    if (sizeSpace == std::string_view::npos || sizeSpace == 0) {
        return damaged(line, expected);
    }
    const auto name = unescapedFromDisplay(rest.substr(0, sizeSpace));
    const auto size =
        readNumber(rest.substr(sizeSpace + 1, hashSpace - sizeSpace - 1), kMaxRecordingBytes << 10);
    const auto hash = readHash(rest.substr(hashSpace + 1));
    if (!name || !size || !hash) {
        return damaged(line, expected);
    }
    recording_.header.levels.push_back({*name, *size, *hash});
    expect_ = Expect::MoreLevels;
    return true;
}

bool RecordingLines::takeStart(std::string_view line) {
    const std::vector<std::string_view> words = splitWords(line);
    const auto level = words.size() == 2 ? readNumber(words[1], kMostLevel) : std::nullopt;
    if (!level || *level < 1) {
        return damaged(line, "expected 'start LEVEL', a level from 1 to 999");
    }
    const auto files = static_cast<std::int64_t>(recording_.header.levels.size());
    if (files > 0 && *level > files) {
        return damaged(line, "the run cannot start at level " + std::to_string(*level) + " of " +
                                 std::to_string(files) + " level files");
    }
    recording_.header.startLevel = static_cast<std::int32_t>(*level);
    expect_ = Expect::Body;
    return true;
}

bool RecordingLines::takeBodyLine(std::string_view line) {
    const std::vector<std::string_view> words = splitWords(line);
    const std::string_view kind = words[0];
    if (kind == "key") {
        return takeKey(line);
    }
    if (kind != "state" && kind != "end") {
        return damaged(line, "expected 'key TICK CODE...', 'state TICK HASH' or 'end TICK'");
    }
    const std::size_t wordCount = kind == "state" ? 3 : 2;
    const auto tick = words.size() == wordCount ? readNumber(words[1], kMostRecordedTicks) : std::nullopt;
    if (!tick) {
        return damaged(line, kind == "state" ? "expected 'state TICK HASH', a tick from 0 to 999999999 and 16 "
                                               "hexadecimal digits"
                                             : "expected 'end TICK', a tick from 0 to 999999999");
    }
    if (kind == "end") {
        const std::int64_t last = recording_.events.empty() ? 0 : recording_.events.back().tick();
        if (*tick < last) {
            return fail("ticks go back: the end at tick " + std::to_string(*tick) + " after tick " +
                        std::to_string(last));
        }
        recording_.end = *tick;
        expect_ = Expect::Nothing;
        return true;
    }
    const auto hash = readHash(words[2]);
    if (!hash) {
        return damaged(line,
                       "expected 'state TICK HASH', a tick from 0 to 999999999 and 16 hexadecimal digits");
    }
    if (!inOrder(*tick, RecordedEvent::Kind::State)) {
        return false;
    }
    recording_.events.emplace_back(RecordedState{*tick, *hash});
    return true;
}

bool RecordingLines::takeKey(std::string_view line) {
    // The key's name may follow as a comment, for a person reading the file: "key 26 120  # x".
    std::string_view codesPart = line;
    if (const std::size_t comment = line.find(" #"); comment != std::string_view::npos) {
        codesPart = line.substr(0, comment);
        while (codesPart.ends_with(' ')) {
            codesPart.remove_suffix(1);
        }
    }
    const std::vector<std::string_view> words = splitWords(codesPart);
    const auto tick = words.size() >= 2 ? readNumber(words[1], kMostRecordedTicks) : std::nullopt;
    KeyCodes codes;
    for (std::size_t i = 2; i < words.size() && codes.size() < 2; ++i) {
        const auto code = readNumber(words[i], kMostCode);
        if (!code) {
            break;
        }
        codes.push_back(static_cast<int>(*code));
    }
    const bool wellFormed = tick && codes.size() + 2 == words.size() &&
                            (codes.size() == 1 || (codes.size() == 2 && isPrefix(codes[0])));
    if (!wellFormed) {
        return damaged(line,
                       "expected 'key TICK CODE' or 'key TICK PREFIX CODE', a tick from 0 to 999999999, "
                       "codes from 0 to 255 and a prefix 0 or 224");
    }
    if (!inOrder(*tick, RecordedEvent::Kind::Key)) {
        return false;
    }
    recording_.events.emplace_back(RecordedKey{*tick, codes});
    return true;
}

bool RecordingLines::inOrder(std::int64_t tick, RecordedEvent::Kind kind) {
    if (recording_.events.empty()) {
        return true;
    }
    const RecordedEvent& last = recording_.events.back();
    if (tick < last.tick()) {
        return fail("ticks go back: tick " + std::to_string(tick) + " after tick " +
                    std::to_string(last.tick()));
    }
    if (tick == last.tick() && kind == RecordedEvent::Kind::State && last.kind() == RecordedEvent::Kind::Key) {
        return fail("ticks go back: the state of tick " + std::to_string(tick) + " after a key of that tick");
    }
    return true;
}

RecordingReadResult RecordingLines::finish(std::int64_t lines) {
    if (expect_ == Expect::Body || expect_ == Expect::Nothing) {
        return std::move(recording_);
    }
    if (lines == 0) {
        return RecordingProblem{1, "not a recording: the file is empty"};
    }
    return RecordingProblem{lines + 1, "the recording ends before its 'start' line"};
}

namespace {

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::string> unescapedFromDisplay(std::string_view shown) {
    std::string text;
    text.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != '\\') {
            text += shown[i];
            continue;
        }
        if (i + 1 < shown.size() && shown[i + 1] == '\\') {
            text += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= shown.size() || shown[i + 1] != 'x') {
            return std::nullopt;
        }
        const int high = hexValue(shown[i + 2]);
        const int low = hexValue(shown[i + 3]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        text += static_cast<char>(high * 16 + low);
        i += 3;
    }
    // Only what escapedForDisplay writes: so a raw control byte in the file is refused, and
    // the text read back is shown again exactly as it stands in the file.
    if (escapedForDisplay(text) != shown) {
        return std::nullopt;
    }
    return text;
}

RecordingStream::RecordingStream() : lines_(std::make_unique<RecordingLines>()) {}

RecordingStream::~RecordingStream() = default;

bool RecordingStream::take(std::string_view piece) {
    while (!piece.empty() && !problem_) {
        const std::size_t lineEnd = piece.find('\n');
        if (lineEnd == std::string_view::npos) {
            partial_ += piece;
            return true;
        }
        std::string_view line = piece.substr(0, lineEnd);
        piece.remove_prefix(lineEnd + 1);
        if (!partial_.empty()) {
            partial_ += line;
            line = partial_;
        }
        if (!lines_->take(line)) {
            problem_ = lines_->problem();
        }
        ++lineCount_;
        partial_.clear();
    }
    return !problem_;
}

RecordingReadResult RecordingStream::finish() {
    if (problem_) {
        return *problem_;
    }
    // Every line of the run is written whole with its line end: a last line without one is the
    // cut-off end of a run that stopped in the middle of a write, and cannot be trusted ("key
    // 152 11" may have been "key 152 119"). In the header it is taken as it is.
    if (!partial_.empty() && !lines_->inRun()) {
        if (!lines_->take(partial_)) {
            return lines_->problem();
        }
        ++lineCount_;
    }
    partial_.clear();
    return lines_->finish(lineCount_);
}

RecordingReadResult readRecording(std::string_view text) {
    RecordingStream stream;
    stream.take(text);
    return stream.finish();
}

}  // namespace brickstorm
