#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the game remembers between runs: for each set of levels, the highest level reached. Pure:
// the text of the progress file in and out, so that its reading can be tested on every kind of
// damage.
//
//   # brickstorm progress 1: the highest level reached in each set of levels
//   built-in 3
//   9c1f0e5a3b7d2e41 12
//
// Every line ends in a line break, so a file cut short anywhere but between two lines shows it.
namespace brickstorm::settings {

// The name of the built-in levels' set.
inline constexpr std::string_view kBuiltInLevelSet = "built-in";

// The name of the set that `levelTexts` make, told apart by their content (the levels as the
// game plays them, in order), not by the names of their files: 16 hexadecimal digits. The
// built-in set for none.
std::string levelSetName(const std::vector<std::string>& levelTexts);

// The highest level reached in each set, by the set's name.
struct Progress {
    std::map<std::string, std::int32_t, std::less<>> highest;

    // The highest level reached in `set`; nothing when none was recorded.
    std::optional<std::int32_t> reachedIn(std::string_view set) const;

    // Records `level` as reached in `set`, unless a higher one already is. True when it changed.
    bool reach(std::string_view set, std::int32_t level);

    // Every set of `other` at the higher of the two levels.
    void mergeFrom(const Progress& other);

    friend bool operator==(const Progress&, const Progress&) = default;
};

// The first damage found in a progress file, on its line (from 1).
struct ProgressDamage {
    int line = 0;
    std::string what;

    friend bool operator==(const ProgressDamage&, const ProgressDamage&) = default;
};

// What a progress file holds: the good lines' progress, and the first damage if there is any.
struct ProgressReading {
    Progress progress;
    std::optional<ProgressDamage> damage;
};

// Reads the text of a progress file; a damaged line is left out and the rest kept.
ProgressReading readProgressText(std::string_view text);

// The text of a progress file that holds `progress`.
std::string progressText(const Progress& progress);

}  // namespace brickstorm::settings
