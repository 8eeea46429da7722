// The JSON API's own parts: the annotated text of "data" (what is checked, where a match lies in
// the original), the rule selection, and the language codes.
#include <gtest/gtest.h>

#include "cmdhandlers/JsonApi/AnnotatedText.h"
#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "cmdhandlers/JsonApi/LanguageNames.h"
#include "cmdhandlers/JsonApi/RuleSelection.h"

namespace {

struct DataRow {
    std::string data;
    std::string plain;                // empty with `refused`
    size_t offset, length;            // a range of the plain text
    size_t original, originalLength;  // where it lies in the original
    bool refused = false;
};

}  // namespace

TEST(JsonApiAnnotatedText, ChecksTextAndInterpretationsAndMapsRangesBack) {
    const std::vector<DataRow> rows = {
        // "<b>" skipped: "Teh" starts at 3 in the original.
        {R"({"annotation":[{"markup":"<b>"},{"text":"Teh"},{"markup":"</b>"}]})", "Teh", 0, 3, 3,
         3},
        // An interpretation is checked; a range touching it covers the markup whole.
        {R"({"annotation":[{"text":"a"},{"markup":"<br/>","interpretAs":"\n"},{"text":"b"}]})",
         "a\nb", 0, 3, 0, 7},
        // An emoji counts two units in both texts.
        {R"({"annotation":[{"markup":"<p>"},{"text":"\ud83d\ude00 Teh"}]})", "\xF0\x9F\x98\x80 Teh",
         3, 3, 6, 3},
        // A range right after an empty markup starts after it.
        {R"({"annotation":[{"text":"ab "},{"markup":"<i>"},{"text":"cd"}]})", "ab cd", 3, 2, 6, 2},
        {R"({"annotation":[{"text":1}]})", "", 0, 0, 0, 0, true},
        {R"({"annotation":[{"other":"x"}]})", "", 0, 0, 0, 0, true},
        {R"({"annotation":"x"})", "", 0, 0, 0, 0, true},
        {"not json", "", 0, 0, 0, 0, true},
        {std::string(40, '[') + std::string(40, ']'), "", 0, 0, 0, 0, true},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const DataRow& row = rows[i];
        try {
            const AnnotatedText text = AnnotatedText::FromData(row.data);
            EXPECT_FALSE(row.refused) << "row " << i;
            EXPECT_EQ(text.plain(), row.plain) << "row " << i;
            const auto [start, length] = text.Original(row.offset, row.length);
            EXPECT_EQ(start, row.original) << "row " << i;
            EXPECT_EQ(length, row.originalLength) << "row " << i;
        } catch (const ApiFailure& failure) {
            EXPECT_TRUE(row.refused) << "row " << i << ": " << failure.what();
            EXPECT_EQ(failure.status(), ApiFailure::kBadRequest);
        }
    }
}

TEST(JsonApiRuleSelection, DisabledWinsAndEnabledOnlyKeepsTheListed) {
    StringMap map = {{"disabledrules", "GRAMMAR_RULE_2, X"}, {"disabledcategories", "TYPOS"}};
    const RuleSelection selection = RuleSelection::FromRequest(map);
    EXPECT_FALSE(selection.Allows("GRAMMAR_RULE_2", "GRAMMAR"));
    EXPECT_FALSE(selection.Allows("SPELLING_RULE", "TYPOS"));
    EXPECT_TRUE(selection.Allows("GRAMMAR_RULE_1", "GRAMMAR"));
    StringMap only = {{"enabledonly", "true"}, {"enabledrules", "GRAMMAR_RULE_1"}};
    const RuleSelection enabled = RuleSelection::FromRequest(only);
    EXPECT_TRUE(enabled.Allows("GRAMMAR_RULE_1", "GRAMMAR"));
    EXPECT_FALSE(enabled.Allows("GRAMMAR_RULE_2", "GRAMMAR"));

    // What the engine is told, so that it skips the work whose matches would be dropped.
    const std::pair<StringMap, const char*> rows[] = {
        {{}, "1;except:"},
        {{{"disabledcategories", "GRAMMAR"}}, "1;only:"},
        {{{"disabledrules", "GRAMMAR_RULE_2,GRAMMAR_RULE_7,X"}}, "1;except:2,7"},
        {{{"disabledrules", "SPELLING_RULE"}}, "0;except:"},
        {{{"enabledonly", "true"}, {"enabledcategories", "TYPOS"}}, "1;only:"},
        {{{"enabledonly", "true"},
          {"enabledrules", "GRAMMAR_RULE_1,GRAMMAR_RULE_3"},
          {"disabledrules", "GRAMMAR_RULE_3"}},
         "0;only:1"},
        {{{"enabledonly", "true"},
          {"enabledcategories", "GRAMMAR"},
          {"disabledrules", "GRAMMAR_RULE_4"}},
         "0;except:4"},
        {{{"enabledonly", "true"}}, "0;only:"},
    };
    for (auto [request, engine] : rows)
        EXPECT_EQ(RuleSelection::FromRequest(request).EngineSelection(), engine) << engine;
}

TEST(JsonApiLanguageNames, CodesBothWaysAndNames) {
    EXPECT_EQ(LanguageNames::EngineCode("en-US"), "en_US");
    EXPECT_EQ(LanguageNames::ApiCode("de_DE"), "de-DE");
    EXPECT_EQ(LanguageNames::Name("en_US"), "English (US)");
    EXPECT_EQ(LanguageNames::Name("de_LU"), "German");
    EXPECT_EQ(LanguageNames::Name("vi_VN"), "Vietnamese");
    EXPECT_EQ(LanguageNames::Name("xx_YY"), "xx_YY");
}
