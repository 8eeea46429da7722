#include <gtest/gtest.h>

#include "grammar/GrammarChecker.h"

TEST(GrammarCheckerTest, ArticleFollowsTheSoundNotTheLetter) {
    const struct {
        const char* word;
        bool vowelSound;
    } rows[] = {
        {"apple", true},  {"hour", true},        {"honest", true},    {"FBI", true},
        {"house", false}, {"university", false}, {"European", false}, {"one", false},
        {"USB", false},   {"umbrella", true},    {"X", false},        {"idea", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GrammarChecker::StartsWithVowelSound(row.word), row.vowelSound) << row.word;
}

TEST(GrammarCheckerTest, NoProblemsInPlainCorrectText) {
    const GrammarChecker checker;
    EXPECT_TRUE(checker.Check(u"It was an hour. A user had had enough, e.g. the rest.").empty());
    EXPECT_TRUE(checker.Check(u"Wait... and then it went.").empty());
}

TEST(GrammarCheckerTest, RepeatedWordsOnlyWithBlanksBetween) {
    const GrammarChecker checker;
    EXPECT_EQ(checker.Check(u"It is, is it not?").size(), 0u);
    const auto problems = checker.Check(u"It is\n\tIS so.");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rule, GrammarChecker::kRepeatedWord);
    EXPECT_EQ(problems[0].pos, 3u);
    EXPECT_EQ(problems[0].len, 6u);
}
