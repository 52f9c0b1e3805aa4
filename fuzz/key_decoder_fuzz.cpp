// Fuzzes the key decoder with arbitrary bytes. The first input byte chooses where the rest is
// split into reads; between reads the decoder is told that no byte followed only where a real
// reader would be (a sequence left open). Whatever the bytes: no crash, only codes 0 to 255 or
// mouse reports, at most two codes per byte, and the same codes as feeding the bytes in one piece.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "terminal/key_decoder.h"

namespace {

using brickstorm::terminal::KeyDecoder;

[[noreturn]] void fail() { std::abort(); }

void take(std::vector<int>& into, const std::vector<int>& codes) {
    if (codes.size() > 2) {
        fail();
    }
    for (int code : codes) {
        if ((code < 0 || code > 255) && !brickstorm::mouseReport(code)) {
            fail();
        }
        into.push_back(code);
    }
}

std::vector<int> decodeWhole(const std::uint8_t* data, std::size_t size) {
    KeyDecoder decoder;
    std::vector<int> codes;
    for (std::size_t i = 0; i < size; ++i) {
        take(codes, decoder.feed(data[i]));
    }
    take(codes, decoder.flush());
    return codes;
}

// Feeds the bytes in reads of 1 to `maxChunk` bytes, as a reader that polls between reads and
// finds the next read already there (so it never flushes before the end).
std::vector<int> decodeInPieces(const std::uint8_t* data, std::size_t size, unsigned seed) {
    KeyDecoder decoder;
    std::vector<int> codes;
    std::size_t i = 0;
    unsigned state = seed | 1U;
    while (i < size) {
        state = state * 1103515245U + 12345U;
        const std::size_t chunk = 1 + (state >> 16) % 7;
        for (std::size_t end = i + chunk; i < end && i < size; ++i) {
            take(codes, decoder.feed(data[i]));
        }
    }
    take(codes, decoder.flush());
    return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned seed = data[0];
    const std::vector<int> whole = decodeWhole(data + 1, size - 1);
    if (decodeInPieces(data + 1, size - 1, seed) != whole) {
        fail();
    }
    return 0;
}
