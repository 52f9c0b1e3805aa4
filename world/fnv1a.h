#pragma once

#include <cstdint>
#include <string_view>

namespace brickstorm {

// The 64-bit FNV-1a hash, fed piece by piece: cheap, and enough to tell that bytes changed (it
// guards against mistakes, not against someone forging a match).
class Fnv1a64 {
public:
    void add(std::string_view bytes) {
        for (const char byte : bytes) {
            addByte(static_cast<std::uint8_t>(byte));
        }
    }
    void addByte(std::uint8_t byte) {
        value_ ^= byte;
        value_ *= kPrime;
    }
    std::uint64_t value() const { return value_; }

private:
    static constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325ULL;
    static constexpr std::uint64_t kPrime = 0x100000001b3ULL;
    std::uint64_t value_ = kOffsetBasis;
};

// The hash of `bytes` at once.
inline std::uint64_t fnv1a64(std::string_view bytes) {
    Fnv1a64 hash;
    hash.add(bytes);
    return hash.value();
}

}  // namespace brickstorm
