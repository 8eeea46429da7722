#include <gtest/gtest.h>

#include "wire/WireHeader.h"

TEST(WireHeaderTest, TerminatorSplitAcrossReceivesIsFound) {
    std::string buffer = "HTTP/1.0 200 OK\r\nContent-length: 3\r\n\r";
    const size_t held = buffer.size();
    EXPECT_EQ(wire::FindHeaderEnd(buffer), std::string::npos);
    buffer += "\nabc";
    EXPECT_EQ(wire::FindHeaderEnd(buffer, held - 3), held + 1);
}

struct LengthRow {
    const char* name;
    std::string block;
    int lenient;
    std::optional<long long> strict;
};

TEST(WireHeaderTest, ContentLengthTable) {
    const LengthRow rows[] = {
        {"plain", "X\r\nContent-length: 42\r\n\r\n", 42, 42},
        {"other case, blanks and colons", "X\r\n  CONTENT-LENGTH ::  7  \r\n", 7, 7},
        {"absent", "X\r\nContent-type: a\r\n", 0, std::nullopt},
        {"last line wins", "Content-length: 1\r\nContent-length: 2\r\n", 2, 2},
        {"longer name does not match", "Content-lengthX: 5\r\n", 0, std::nullopt},
        {"trailing garbage", "Content-length: 12abc\r\n", 12, std::nullopt},
        {"negative", "Content-length: -5\r\n", -5, std::nullopt},
        {"empty value", "Content-length:\r\n", 0, std::nullopt},
        {"huge", "Content-length: 99999999999999999999999\r\n", 2147483647, std::nullopt},
        {"bare LF lines", "A\nContent-length: 9\n", 9, 9},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::ContentLengthOf(row.block), row.lenient) << row.name;
        EXPECT_EQ(wire::StrictContentLengthOf(row.block), row.strict) << row.name;
    }
}

TEST(WireHeaderTest, ValueIsCutTo127Bytes) {
    const auto value = wire::FindHeaderField("Name: " + std::string(300, 'v') + "\r\n", "name");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->size(), wire::kMaxHeaderValueBytes);
}
