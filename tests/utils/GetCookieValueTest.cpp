#include <gtest/gtest.h>

#include <string>

#include "utils/GetCookieValue.h"

namespace {

struct Row {
    std::string header;
    std::string name;
    std::string out;
};

TEST(GetCookieValueTest, FindsTheLastPairOfTheName) {
    const Row rows[] = {
        {"ud=abc", "ud", "abc"},
        {"x=1; ud=abc; y=2", "ud", "abc"},
        {"x=1;ud=abc;y=2", "ud", "abc"},
        {"x=1;   \tud=abc", "ud", "abc"},
        {"ud=first; ud=second", "ud", "second"},
        {"ud=; y=2", "ud", ""},
        {"ud=%2541", "ud", "%41"},  // decoded once here
        {"ud=a+b", "ud", "a b"},
        {"ud=\"quoted\"", "ud", "\"quoted\""},  // quotes are kept as sent
        {"ud= spaced ", "ud", " spaced "},
        {"LLng=de", "LLng", "de"},
        {"osp=0101; udn=[/]", "udn", "[/]"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GetCookieValue(row.header, row.name, "DEF"), row.out) << row.header;
}

TEST(GetCookieValueTest, OtherCookiesAndValuesNeverAnswerForTheName) {
    const Row rows[] = {
        {"", "ud", "DEF"},
        {"udn=abc", "ud", "DEF"},
        {"aud=evil", "ud", "DEF"},   // a longer name ending in the name
        {"x=ud=evil", "ud", "DEF"},  // the name inside another value
        {"ud=good; aud=evil", "ud", "good"},
        {"ud", "ud", "DEF"},
        {"ud =abc", "ud", "DEF"},
        {";;;", "ud", "DEF"},
        {"=", "", "DEF"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GetCookieValue(row.header, row.name, "DEF"), row.out) << row.header;
}

}  // namespace
