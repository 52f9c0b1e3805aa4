// Fuzzes the readers of the two files the game keeps for the player with arbitrary bytes. The
// first byte picks the reader; the rest is the file.
// - The configuration file: never a crash; a mistake names a line of the file and says what is
//   wrong without a raw control byte; good settings give keys with no two actions on one key.
// - The progress file: whatever it held, what is kept of it is written back as a whole file that
//   reads again without damage to the same progress.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "app/config_reading.h"
#include "settings/config_file.h"
#include "settings/progress.h"

namespace {

using namespace brickstorm::settings;

[[noreturn]] void fail() { std::abort(); }

bool hasControlByte(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

void checkConfig(std::string_view text) {
    const auto result = brickstorm::app::configOptions(text);
    if (const auto* problem = std::get_if<ConfigProblem>(&result)) {
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        if (problem->line < 1 || problem->line > lines || problem->what.empty() ||
            hasControlByte(problem->what)) {
            fail();
        }
        return;
    }
    const auto& keys = std::get<brickstorm::app::Options>(result).keys;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (keys.sharingKeyWith(static_cast<Action>(i))) {
            fail();
        }
    }
}

void checkProgress(std::string_view text) {
    const ProgressReading first = readProgressText(text);
    const ProgressReading again = readProgressText(progressText(first.progress));
    if (again.damage || again.progress != first.progress) {
        fail();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1U) == 0) {
        checkConfig(text);
    } else {
        checkProgress(text);
    }
    return 0;
}
