#include <gtest/gtest.h>

#include "cmdhandlers/Spell/MisspellingScan.h"

namespace {
// The check stream of "abcd teh wo wrod x" with its final blank.
constexpr int kCheckLength = 19;
}  // namespace

TEST(MisspellingScanTest, KeepsValidItemsThatDoNotOverlapTheLastKeptOne) {
    struct Row {
        const char* list;
        std::vector<MisspeltRange> kept;
    };
    const Row rows[] = {
        {"5,3;7,2;12,4;", {{5, 3}, {12, 4}}},
        {";;5,,3;;;12,4", {{5, 3}, {12, 4}}},  // runs of separators
        {"5,3;5,3;", {{5, 3}}},                // the same start twice
        {"5,3;8,1;", {{5, 3}, {8, 1}}},        // starting at the end is no overlap
        {"12,4;5,3;", {{12, 4}}},              // going back is an overlap
        {"0,18;", {{0, 18}}},                  // up to the final blank
        {"0,19;1,1;", {{1, 1}}},               // over the final blank: skipped, not counted
        {"18,1;", {}},
        {"2147483647,2147483647;", {}},
        {"99999999999,1;", {}},
        {"-1,3;5,-3;+5,3;5,0;", {}},
        {"5;5,3,1;a,b;5 ,3;", {}},
        {"5,3;x;12,4;", {{5, 3}, {12, 4}}},  // a garbage item does not end the list
        {"", {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(KeptMisspellings(row.list, kCheckLength), row.kept) << row.list;
}

TEST(MisspellingScanTest, ChangePositionIsADecimalNumberOrNone) {
    const std::pair<const char*, int> rows[] = {
        {"", -1}, {"0", 0}, {"40", 40}, {"-1", -1}, {"-7", -1}, {"4x", -1}, {"99999999999", -1},
    };
    for (const auto& [text, value] : rows) EXPECT_EQ(ChangePosition(text), value) << text;
}

TEST(MisspellingScanTest, AddsTheKeptRangesAsSpellingProblems) {
    TextProcessor processor("", FilteringParams{});
    processor.SetText("abcd teh wo wrod x");
    EXPECT_EQ(ScanMisspellings(processor, "5,3;7,2;12,4;", ""), 0);
    ASSERT_EQ(processor.Problems().size(), 2u);
    EXPECT_EQ(processor.Problems()[1].position, 12);
    EXPECT_EQ(processor.Problems()[1].length, 4);
    EXPECT_EQ(processor.Problems()[1].id, kSpellingProblemId);
}

TEST(MisspellingScanTest, TheLimitKeepsTheFirstRangesAndTellsWhenMoreWereLeft) {
    struct Row {
        const char* list;
        size_t limit;
        std::vector<MisspeltRange> kept;
        bool more;
    };
    const Row rows[] = {
        {"0,4;5,3;12,4;", 1, {{0, 4}}, true},
        {"0,4;5,3;12,4;", 2, {{0, 4}, {5, 3}}, true},
        {"0,4;5,3;12,4;", 3, {{0, 4}, {5, 3}, {12, 4}}, false},
        {"0,4;5,3;12,4;", 4, {{0, 4}, {5, 3}, {12, 4}}, false},
        {"0,4;5,3;x;7,2;", 2, {{0, 4}, {5, 3}}, false},  // only kept items count as more
        {"0,4;5,3;5,3;12,4;", 2, {{0, 4}, {5, 3}}, true},
        {"0,4;", 0, {}, true},
    };
    for (const Row& row : rows) {
        bool more = !row.more;
        EXPECT_EQ(KeptMisspellings(row.list, kCheckLength, row.limit, &more), row.kept)
            << row.list << " / " << row.limit;
        EXPECT_EQ(more, row.more) << row.list << " / " << row.limit;
    }
}

TEST(MisspellingScanTest, ProblemsBeyondTheLimitStayUnmarked) {
    TextProcessor processor("", FilteringParams{});
    processor.SetText("abcd teh wo wrod x");
    EXPECT_EQ(ScanMisspellings(processor, "0,4;5,3;12,4;", "", 2), 0);
    ASSERT_EQ(processor.Problems().size(), 2u);
    EXPECT_EQ(processor.Problems()[1].position, 5);
}
