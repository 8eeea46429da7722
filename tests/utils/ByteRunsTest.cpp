// The word tests must answer exactly "is there such a byte", whatever the other seven bytes are:
// a miss would let a special byte through unescaped, a false alarm only costs time.
#include <gtest/gtest.h>

#include <string>

#include "utils/ByteRuns.h"

namespace {

// A word of `filler` bytes with `byte` in lane `lane`.
std::uint64_t WordWith(unsigned char filler, unsigned char byte, std::size_t lane) {
    std::string bytes(byteruns::kWordBytes, static_cast<char>(filler));
    bytes[lane] = static_cast<char>(byte);
    return byteruns::LoadWord(bytes.data());
}

}  // namespace

TEST(ByteRunsTest, WordTestsAreExactForEveryByteInEveryLane) {
    // Fillers below, at and above the bounds, so that borrows between lanes would show.
    const unsigned char fillers[] = {0x00, 0x01, 0x1F, 0x20, 0x25, 0x5C, 0x7F, 0x80, 0xFF};
    for (const unsigned char filler : fillers)
        for (int byte = 0; byte < 256; ++byte)
            for (std::size_t lane = 0; lane < byteruns::kWordBytes; ++lane) {
                const std::uint64_t word = WordWith(filler, static_cast<unsigned char>(byte), lane);
                const auto b = static_cast<unsigned char>(byte);
                SCOPED_TRACE(testing::Message()
                             << "filler " << int(filler) << " byte " << byte << " lane " << lane);
                EXPECT_EQ(byteruns::AnyByteBelow(word, 0x20) != 0, b < 0x20 || filler < 0x20);
                EXPECT_EQ(byteruns::AnyByteBelow(word, 0x80) != 0, b < 0x80 || filler < 0x80);
                EXPECT_EQ(byteruns::AnyByteEqual(word, '%') != 0, b == '%' || filler == '%');
                EXPECT_EQ(byteruns::AnyHighByte(word) != 0, b >= 0x80 || filler >= 0x80);
            }
}

TEST(ByteRunsTest, SkipsWholePlainWordsOnlyAndTestsAFlaggedWordOnce) {
    const auto percent = [](std::uint64_t word) { return byteruns::AnyByteEqual(word, '%'); };
    const struct {
        std::string text;
        std::size_t from, skipped;
    } rows[] = {
        {"", 0, 0},
        {"short", 0, 0},             // less than a word left
        {"abcdefgh", 0, 8},          // one plain word, nothing after
        {"abcdefgh%", 0, 8},         // the special byte right after the word
        {"abcdefg%ijklmnop", 0, 0},  // the first word holds it
        {"abcdefghijklmno%qrstuvwxyz", 0, 8},
        {"abcdefghijklmnopqrstuvwx", 3, 19},  // from inside: two words, then too few left
    };
    for (const auto& row : rows) {
        EXPECT_EQ(byteruns::SkipPlainWords(row.text, row.from, percent), row.skipped) << row.text;
        std::size_t retryFrom = 0;
        const std::size_t stop =
            byteruns::SkipPlainWordsOnce(row.text, row.from, retryFrom, percent);
        EXPECT_EQ(stop, row.skipped) << row.text;
        // Inside the word found to hold a special byte, no word is tested again.
        EXPECT_EQ(byteruns::SkipPlainWordsOnce(row.text, stop + 1, retryFrom, percent), stop + 1)
            << row.text;
    }
}
