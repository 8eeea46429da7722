#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "core/CallDeadline.h"
#include "grammar/GrammarChecker.h"
#include "grammar/GrammarLanguages.h"
#include "grammar/GrammarResultCache.h"
#include "grammar/GrammarService.h"
#include "spell/WordTokenizer.h"

namespace {

// The checker with the rules the engine server ships.
GrammarChecker Shipped() {
    static const auto table =
        std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Load(GRAMMAR_RULES_FILE));
    return GrammarChecker(table);
}

GrammarChecker WithRules(const std::string& text) {
    return GrammarChecker(std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Parse(text)));
}

// The rule numbers the shipped rules find in `text`, in text order.
std::vector<int> RulesIn(const char16_t* text) {
    std::vector<int> rules;
    for (const GrammarProblem& p : Shipped().Check(text)) rules.push_back(p.rule);
    return rules;
}

}  // namespace

TEST(GrammarCheckerTest, ArticleFollowsTheSoundNotTheLetter) {
    const struct {
        const char* word;
        bool vowelSound;
    } rows[] = {
        {"apple", true},  {"hour", true},        {"honest", true},    {"FBI", true},
        {"house", false}, {"university", false}, {"European", false}, {"one", false},
        {"USB", false},   {"umbrella", true},    {"X", false},        {"idea", true},
        {"udeb", false},  {"udder", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GrammarChecker::StartsWithVowelSound(row.word), row.vowelSound) << row.word;
}

TEST(GrammarCheckerTest, NoProblemsInPlainCorrectText) {
    const GrammarChecker checker = Shipped();
    EXPECT_TRUE(checker.Check(u"It was an hour. A user had had enough, e.g. the rest.").empty());
    EXPECT_TRUE(checker.Check(u"Wait... and then it went.").empty());
}

TEST(GrammarCheckerTest, RepeatedWordsOnlyWithBlanksBetween) {
    const GrammarChecker checker = Shipped();
    EXPECT_EQ(checker.Check(u"It is, is it not?").size(), 0u);
    const auto problems = checker.Check(u"It is\n\tIS so.");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rule, GrammarChecker::kRepeatedWord);
    EXPECT_EQ(problems[0].pos, 3u);
    EXPECT_EQ(problems[0].len, 6u);
}

TEST(GrammarRuleTableTest, ShippedRulesAllCompile) {
    const GrammarRuleTable table = GrammarRuleTable::Load(GRAMMAR_RULES_FILE);
    EXPECT_TRUE(table.errors().empty())
        << table.errors().front().line << ": " << table.errors().front().reason;
    EXPECT_GE(table.rules().size(), 40u);
}

TEST(GrammarRuleTableTest, MalformedLinesAreReportedAndSkipped) {
    const GrammarRuleTable table = GrammarRuleTable::Parse(
        "# comment\n"
        "\n"
        "x - /a/ => b :: c\n"               // 3: no number
        "9 bogus /a/ => b :: c\n"           // 4: unknown condition
        "9 - /(a/ => b :: c\n"              // 5: does not compile
        "9 - /a/ b :: c\n"                  // 6: no variants mark
        "9 vowel:2 /(a)/ => b :: c\n"       // 7: missing group
        "9 - /a\\/b/ => x -OR- y :: z\n");  // 8: fine, a slash in the pattern
    ASSERT_EQ(table.rules().size(), 1u);
    EXPECT_EQ(table.rules()[0].variants, (std::vector<std::string>{"x", "y"}));
    std::vector<size_t> lines;
    for (const auto& e : table.errors()) lines.push_back(e.line);
    EXPECT_EQ(lines, (std::vector<size_t>{3, 4, 5, 6, 7}));
    EXPECT_EQ(GrammarRuleTable::Load("/nonexistent/rules").errors().size(), 1u);
}

TEST(GrammarCheckerTest, ExplanationEscapesTheWordsOfTheText) {
    const GrammarChecker checker = WithRules("9 - /<(\\w+)>/ => $^1 :: tag &quot;$0&quot; $1\n");
    const auto problems = checker.Check(u"x <script> y");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].explanation, "tag &quot;&lt;script&gt;&quot; script");
    EXPECT_EQ(problems[0].variants, std::vector<std::string>{"Script"});
    EXPECT_EQ(problems[0].pos, 2u);
}

TEST(GrammarCheckerTest, ShippedRulesFindCommonErrors) {
    const struct {
        const char16_t* text;
        std::vector<int> rules;
    } rows[] = {
        {u"Its a nice day.", {8}},
        {u"Their is a problem.", {10}},
        {u"Your going to like it.", {15}},
        {u"It is better then before.", {6}},
        {u"Do not loose the key.", {17}},
        {u"The screw is loose. Its own thread is fine.", {}},
        {u"I will loose my job.", {17}},
        {u"It had a big affect on us.", {19}},
        {u"Who's car is this?", {24}},
        {u"We could of won.", {5}},
        {u"Thanks alot.", {30}},
        {u"I can went home.", {50}},
        {u"She has went home.", {61}},
        {u"He don't know.", {74}},
        {u"Hello,, world.", {40}},
        {u"Is it true ?", {44}},
        {u"Yes i think so.", {34}},
        {u"He was a honest man.", {2}},
        {u"See http://example.com/its a link.", {}},
        {u"It is ready. the rest follows, e.g. the list.", {4}},
        {u"Run this:\n\n    make\n\nthen the build starts. Eg. the rest.", {}},
        {u"Words such as 'alot', \"irregardless\" and \u201cit self\u201d; it self.", {33}},
    };
    for (const auto& row : rows) EXPECT_EQ(RulesIn(row.text), row.rules);
}

TEST(GrammarCheckerTest, AStopEndsTheCheckWithWhatWasFoundInTextOrder) {
    const std::u16string text =
        u"She ate a apple. the the end could of been better then this. a egg a egg a egg";
    const auto all = Shipped().Check(text);
    ASSERT_GE(all.size(), 6u);
    const auto key = [](const GrammarProblem& p) { return std::make_pair(p.pos, p.rule); };
    for (const int asksBeforeStop : {0, 1, 3, 10, 40, 1000000}) {
        SCOPED_TRACE(asksBeforeStop);
        int asks = 0;
        const auto some = Shipped().Check(text, [&] { return ++asks > asksBeforeStop; });
        if (asksBeforeStop == 0) {
            EXPECT_TRUE(some.empty());
        } else if (asksBeforeStop == 1000000) {
            EXPECT_EQ(some.size(), all.size());
        }
        EXPECT_LE(some.size(), all.size());
        for (size_t i = 0; i < some.size(); ++i) {
            if (i > 0) {
                EXPECT_LE(key(some[i - 1]), key(some[i]));
            }
            EXPECT_NE(std::find_if(all.begin(), all.end(),
                                   [&](const GrammarProblem& p) { return key(p) == key(some[i]); }),
                      all.end());
        }
    }
}

TEST(GrammarServiceTest, TheCallDeadlineEndsTheCheckWithAWellFormedAnswer) {
    const GrammarLanguages languages({{"en", std::make_shared<const GrammarRuleTable>(
                                                 GrammarRuleTable::Load(GRAMMAR_RULES_FILE))}});
    const GrammarService service(languages, [](std::string_view) { return std::string("en"); });
    const std::vector<std::string> params = {"", "", "She ate a apple. We could of won.", "0"};
    const struct {
        int callMs;
        std::string ranges;
    } rows[] = {
        {0, ""},               // expired before the first rule
        {60000, "8,7;20,8;"},  // "a apple", "could of"
    };
    for (const auto& row : rows) {
        const CallDeadline deadline(row.callMs, row.callMs, -1);
        const CallDeadline::Scope scope(deadline);
        const auto results = service.CheckGrammar(params);
        ASSERT_EQ(results.size(), 4u);
        EXPECT_EQ(results[2].substr(0, row.ranges.size()), row.ranges) << row.callMs;
        EXPECT_EQ(results[0].empty(), row.ranges.empty());
    }
}

TEST(GrammarRuleTableTest, EveryExampleSentenceHoldsForItsRule) {
    const struct {
        const char* file;
        size_t minRules;
    } files[] = {{GRAMMAR_RULES_FILE, 100}, {GRAMMAR_RULES_DE_FILE, 30}};
    for (const auto& file : files) {
        const auto table =
            std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Load(file.file));
        EXPECT_TRUE(table->errors().empty()) << file.file;
        const GrammarChecker checker(table);
        std::map<int, std::pair<int, int>> counts;  // rule -> (with a problem, without)
        for (const GrammarRule& rule : table->rules()) counts[rule.number];
        for (const GrammarRuleTable::Example& example : table->examples()) {
            bool found = false;
            for (const GrammarProblem& p : checker.Check(WordTokenizer::ToUtf16(example.text)))
                found = found || p.rule == example.rule;
            EXPECT_EQ(found, example.hasProblem) << "rule " << example.rule << ": " << example.text;
            ++(example.hasProblem ? counts[example.rule].first : counts[example.rule].second);
        }
        // Every rule has enough examples of both kinds.
        EXPECT_GE(counts.size(), file.minRules) << file.file;
        for (const auto& [rule, count] : counts) {
            EXPECT_GE(count.first, 5) << file.file << " rule " << rule;
            EXPECT_GE(count.second, 5) << file.file << " rule " << rule;
        }
    }
}

TEST(GrammarRuleTableTest, ExamplesBelongToTheRuleAboveThem) {
    const GrammarRuleTable table =
        GrammarRuleTable::Parse("+ orphan\n9 - /x/ => y :: z\n+ has x\n= has none\n");
    ASSERT_EQ(table.examples().size(), 2u);
    EXPECT_EQ(table.examples()[0].rule, 9);
    EXPECT_TRUE(table.examples()[0].hasProblem);
    EXPECT_EQ(table.examples()[1].text, "has none");
    ASSERT_EQ(table.errors().size(), 1u);
    EXPECT_EQ(table.errors()[0].line, 1u);
}

// A text checked again is answered from the cache with the same problems, over the examples of
// both rule files; a check that a stop ended is not kept.
TEST(GrammarResultCacheTest, CachedAnswersAreTheCheckersAnswers) {
    const auto same = [](const std::vector<GrammarProblem>& a,
                         const std::vector<GrammarProblem>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
            return x.pos == y.pos && x.len == y.len && x.rule == y.rule &&
                   x.explanation == y.explanation && x.variants == y.variants;
        });
    };
    for (const char* file : {GRAMMAR_RULES_FILE, GRAMMAR_RULES_DE_FILE}) {
        const auto table = std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Load(file));
        const GrammarChecker uncached(table, GrammarChecker::Matching::kAnchored, 0);
        const GrammarChecker cached(table);
        for (int round = 0; round < 2; ++round)
            for (const GrammarRuleTable::Example& example : table->examples()) {
                const std::u16string text = WordTokenizer::ToUtf16(example.text);
                EXPECT_TRUE(same(cached.Check(text), uncached.Check(text)))
                    << file << " round " << round << ": " << example.text;
            }
    }
    const GrammarChecker checker = Shipped();
    const std::u16string text = u"She ate a apple. We could of won.";
    EXPECT_TRUE(checker.Check(text, [] { return true; }).empty());
    EXPECT_EQ(checker.Check(text).size(), 2u);
    EXPECT_EQ(checker.Check(text, [] { return true; }).size(), 2u);  // from the cache
}

TEST(GrammarResultCacheTest, KeepsTheRecentlyUsedWithinItsBudget) {
    const GrammarProblem problem{2, 3, 1, "<b>Repeated word.</b>", {"as", "so"}};
    const auto text = [](int i) { return u"text " + std::u16string(1, u'a' + i); };
    const size_t entry = GrammarResultCache::EntryBytes(text(0), {problem});
    const size_t eight = entry * GrammarResultCache::kMaxEntryShare;
    const struct {
        size_t budget;
        std::vector<int> steps;  // n >= 0 stores text(n), -n - 1 finds text(n)
        std::vector<int> kept;   // the texts of 0..9 found at the end
    } rows[] = {
        {0, {0}, {}},
        {eight - 1, {0}, {}},  // an entry may take an eighth of the budget
        {eight, {0, 0, 1}, {0, 1}},
        {eight, {0, 1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},      // the oldest goes
        {eight, {0, 1, 2, 3, 4, 5, 6, 7, -1, 8}, {0, 2, 3, 4, 5, 6, 7, 8}},  // found: kept
        {eight + entry - 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const auto& row : rows) {
        GrammarResultCache cache(row.budget);
        for (const int step : row.steps) {
            if (step >= 0) cache.Store(text(step), {problem});
            if (step < 0) cache.Find(text(-step - 1));
        }
        std::vector<int> kept;
        for (int i = 0; i < 10; ++i) {
            const auto found = cache.Find(text(i));
            if (!found) continue;
            kept.push_back(i);
            ASSERT_EQ(found->size(), 1u);
            EXPECT_EQ((*found)[0].variants, problem.variants);
        }
        EXPECT_EQ(kept, row.kept) << row.budget;
        EXPECT_EQ(cache.size(), kept.size());
        EXPECT_EQ(cache.bytes(), kept.size() * entry);
    }
}
