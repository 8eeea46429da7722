// The working memory a call is weighted by in the in-flight budget, read from its function line.
#include <gtest/gtest.h>

#include <string>

#include "net/WorkingMemory.h"

namespace {

TEST(WorkingMemoryTest, FactorComesFromTheFunctionLine) {
    const std::string longName(200, 'a');
    const struct {
        std::string body;
        size_t factor;
    } rows[] = {
        {"check_spelling4\r\nen_US\r\n", 40},
        {"check_is_correct4\r\n", 40},
        {"get_all_suggestions4\r\n", 40},
        {"check_and_suggestions\r\n", 40},
        {"check_grammar\r\n\r\n\r\ntext\r\n0\r\n", 40},
        {"check_matches\r\n", 128},
        {"check_selected_matches\r\n", 128},
        {"text_thesaurus\r\n", 16},
        {"text_antonyms\r\n", 16},
        {"check_grammar\ntext\n", 40},     // LF alone ends a line too
        {"check_grammar", 40},             // a last line without an end
        {"check\\x5Fgrammar\r\n", 40},     // escaped as the decoder reads it
        {"check_grammar \r\n", 10},        // not the same name
        {"CHECK_GRAMMAR\r\n", 10},         // names are exact
        {"check\\qgrammar\r\n", 10},       // a malformed escape names nothing
        {"get_syn_list\r\nword\r\n", 10},  // reads no text
        {"list_languages\r\n", 10},
        {"", 10},
        {"\r\ncheck_grammar\r\n", 10},  // the function is the first line only
        {longName + "\r\n", 10},        // longer than any name: not even unescaped
    };
    for (const auto& row : rows)
        EXPECT_EQ(WorkingMemory::FactorFor(row.body), row.factor) << row.body.substr(0, 40);
}

TEST(WorkingMemoryTest, BytesAreTheBodyTimesItsFactor) {
    const std::string grammar = "check_grammar\r\n\r\n\r\n" + std::string(1000, 'a') + "\r\n0\r\n";
    EXPECT_EQ(WorkingMemory::BytesFor(grammar), grammar.size() * 40);
    EXPECT_EQ(WorkingMemory::BytesFor("nothing"), 7 * WorkingMemory::kDefaultFactor);
}

}  // namespace
