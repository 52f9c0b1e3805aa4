#include "settings/progress.h"

#include <charconv>
#include <system_error>
#include <utility>

namespace brickstorm::settings {

namespace {

constexpr std::string_view kHeader =
    "# brickstorm progress 1: the highest level reached in each set of levels";
constexpr std::size_t kSetNameDigits = 16;
constexpr std::string_view kHexDigits = "0123456789abcdef";

// 64-bit FNV-1a: stable on every platform and from one version to the next, which a set's name
// must be, and plenty to tell a player's sets of levels apart.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

void hashBytes(std::uint64_t& hash, std::string_view bytes) {
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= kFnvPrime;
    }
}

bool isSetName(std::string_view name) {
    return name == kBuiltInLevelSet ||
           (name.size() == kSetNameDigits && name.find_first_not_of(kHexDigits) == std::string_view::npos);
}

std::optional<std::int32_t> levelNumber(std::string_view text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < 1) {
        return std::nullopt;
    }
    return value;
}

// One line after the header: "SET LEVEL". What is wrong with it, if anything.
std::optional<std::string> readEntry(Progress& progress, std::string_view line) {
    const auto space = line.find(' ');
    if (space == std::string_view::npos) {
        return "not a set of levels and a level";
    }
    const std::string_view set = line.substr(0, space);
    if (!isSetName(set)) {
        return "not the name of a set of levels";
    }
    const auto level = levelNumber(line.substr(space + 1));
    if (!level) {
        return "not a level number";
    }
    progress.reach(set, *level);
    return std::nullopt;
}

}  // namespace

std::string levelSetName(const std::vector<std::string>& levelTexts) {
    if (levelTexts.empty()) {
        return std::string(kBuiltInLevelSet);
    }
    std::uint64_t hash = kFnvOffset;
    for (const std::string& text : levelTexts) {
        // Each level's length first, so that no two different lists make the same bytes.
        hashBytes(hash, std::to_string(text.size()) + ":");
        hashBytes(hash, text);
    }
    std::string name(kSetNameDigits, '0');
    for (std::size_t i = kSetNameDigits; i-- > 0; hash >>= 4U) {
        name[i] = kHexDigits[hash & 0xFU];
    }
    return name;
}

std::optional<std::int32_t> Progress::reachedIn(std::string_view set) const {
    const auto found = highest.find(set);
    if (found == highest.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool Progress::reach(std::string_view set, std::int32_t level) {
    const auto found = highest.find(set);
    if (found == highest.end()) {
        highest.emplace(std::string(set), level);
        return true;
    }
    if (found->second >= level) {
        return false;
    }
    found->second = level;
    return true;
}

void Progress::mergeFrom(const Progress& other) {
    for (const auto& [set, level] : other.highest) {
        reach(set, level);
    }
}

ProgressReading readProgressText(std::string_view text) {
    ProgressReading reading;
    const auto damage = [&reading](int line, std::string what) {
        if (!reading.damage) {
            reading.damage = ProgressDamage{line, std::move(what)};
        }
    };
    if (text.empty()) {
        damage(1, "empty, not a progress file");
        return reading;
    }
    int number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            // Written lines always end in a break: this one was cut short, and is left out.
            const bool header = number > 1 || kHeader.starts_with(text);
            damage(number, header ? "cut short" : "not a progress file");
            break;
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (number == 1) {
            if (line != kHeader) {
                damage(1, "not a progress file");
                return reading;  // its other lines may mean anything
            }
            continue;
        }
        if (auto what = readEntry(reading.progress, line)) {
            damage(number, std::move(*what));
        }
    }
    return reading;
}

std::string progressText(const Progress& progress) {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [set, level] : progress.highest) {
        text += set + " " + std::to_string(level) + "\n";
    }
    return text;
}

}  // namespace brickstorm::settings
