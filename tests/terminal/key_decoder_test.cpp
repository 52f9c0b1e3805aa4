#include "terminal/key_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/terminal/key_sequences.h"

namespace brickstorm::terminal {
namespace {

std::vector<int> decodeWithPause(KeyDecoder& decoder, const std::string& bytes) {
    std::vector<int> codes;
    for (const char byte : bytes) {
        const auto more = decoder.feed(static_cast<unsigned char>(byte));
        codes.insert(codes.end(), more.begin(), more.end());
    }
    const auto rest = decoder.flush();
    codes.insert(codes.end(), rest.begin(), rest.end());
    return codes;
}

TEST(KeyDecoder, DecodesEveryKnownSequence) {
    for (const auto& entry : testing::keySequenceCases()) {
        KeyDecoder decoder;
        EXPECT_EQ(decodeWithPause(decoder, entry.bytes), entry.codes) << entry.name;
        EXPECT_FALSE(decoder.pending()) << entry.name;
    }
}

TEST(KeyDecoder, OneDecoderDecodesTheCasesOneAfterAnother) {
    // Nothing of one key may leak into the next.
    KeyDecoder decoder;
    for (const auto& entry : testing::keySequenceCases()) {
        EXPECT_EQ(decodeWithPause(decoder, entry.bytes), entry.codes) << entry.name;
    }
}

TEST(KeyDecoder, WaitsForTheRestOfASequence) {
    KeyDecoder decoder;
    EXPECT_TRUE(decoder.feed(27).empty());
    EXPECT_TRUE(decoder.pending());
    EXPECT_TRUE(decoder.feed('[').empty());
    EXPECT_TRUE(decoder.feed('1').empty());
    EXPECT_TRUE(decoder.pending());
    EXPECT_EQ(decoder.feed('~'), (std::vector<int>{224, 71}));
    EXPECT_FALSE(decoder.pending());
}

TEST(KeyDecoder, FlushWithNothingOpenGivesNothing) {
    KeyDecoder decoder;
    EXPECT_TRUE(decoder.flush().empty());
    EXPECT_EQ(decoder.feed('a'), std::vector<int>{97});
    EXPECT_TRUE(decoder.flush().empty());
}

TEST(KeyDecoder, GarbageNeverGivesACodeOutsideAByte) {
    // Random bytes, weighted toward the ones that open and continue sequences.
    const std::string interesting = "\x1b[O;0123456789~^$@ABCDHFPQRSZabcd<?\x03\x7f\xe0";
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, interesting.size() - 1);
    KeyDecoder decoder;
    for (int i = 0; i < 200000; ++i) {
        const auto byte = static_cast<unsigned char>(i % 2 == 0 ? anyByte(random) : interesting[pick(random)]);
        auto codes = decoder.feed(byte);
        if (i % 97 == 0) {
            const auto flushed = decoder.flush();
            codes.insert(codes.end(), flushed.begin(), flushed.end());
        }
        ASSERT_LE(codes.size(), 2U);
        for (const int code : codes) {
            ASSERT_GE(code, 0);
            ASSERT_LE(code, 255);
        }
    }
}

}  // namespace
}  // namespace brickstorm::terminal
