#include <gtest/gtest.h>

#include <memory>

#include "grammar/GrammarChecker.h"
#include "grammar/GrammarLanguages.h"
#include "grammar/GrammarService.h"
#include "grammar/GrammarText.h"
#include "grammar/RuleAnchor.h"
#include "spell/WordTokenizer.h"

namespace {

using Kind = RuleAnchor::Kind;

std::shared_ptr<const GrammarRuleTable> Table(const char* file) {
    return std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Load(file));
}

bool SameProblems(const std::vector<GrammarProblem>& a, const std::vector<GrammarProblem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.pos == y.pos && x.len == y.len && x.rule == y.rule &&
               x.explanation == y.explanation && x.variants == y.variants;
    });
}

}  // namespace

TEST(RuleAnchorTest, ReadsWhereAMatchCanStart) {
    const struct {
        const char16_t* pattern;
        Kind kind;
        std::vector<std::u16string> words;
        std::u16string chars = u"";
        bool repeatsWord = false;
        std::vector<std::u16string> later = {};
        std::u16string laterChars = u"";
        bool lowerCaseFirst = false;
    } rows[] = {
        {u"(?i)\\b(could|should)[ \\t]+of\\b",
         Kind::kWords,
         {u"could", u"should"},
         u"",
         false,
         {u"of"}},
        // Words later in every match: after a blank that must be there and look-aheads only.
        {u"(?i)\\b(can't|could have)[ \\t]+(?!x\\b)(?:Went|CAME)\\b",
         Kind::kWords,
         {u"can", u"could"},
         u"",
         false,
         {u"went", u"came"}},
        {u"(?i)\\b(I|we)[ \\t]+doesn['’]t\\b", Kind::kWords, {u"i", u"we"}, u"", false, {u"doesn"}},
        {u"\\bits \\p{L}", Kind::kWords, {u"its"}, u"", false, {}},
        {u"\\b(a)[ \\t]*of", Kind::kWords, {u"a"}, u"", false, {}},
        {u"\\b(a)+ of", Kind::kWords, {u"a"}, u"", false, {}},
        {u"\\b(a) (?:of)?x", Kind::kWords, {u"a"}, u"", false, {}},
        {u"\\b(a) (?<=a )of", Kind::kWords, {u"a"}, u"", false, {}},
        {u"\\b(a) of|b", Kind::kAnywhere, {}},
        {u"(?i)(?<=\\bme[ \\t]{1,2})to(?=[.!])", Kind::kWords, {u"to"}},
        {u"(?i)\\bit['’]s(?=[ \\t]+own\\b)", Kind::kWords, {u"it"}},
        {u"\\b(?=(?:The|a)\\b)\\p{Ll}+", Kind::kWords, {u"the", u"a"}, u"", false, {}, u"", true},
        // A lower-case letter first, unless case is ignored or the letter may be left out.
        {u"(?<!(?i:x) )\\b(?=a\\b)\\p{Ll}+", Kind::kWords, {u"a"}, u"", false, {}, u"", true},
        {u"(?i)\\b(?=a\\b)\\p{Ll}+", Kind::kWords, {u"a"}},
        {u"(?mi)\\b(?=a\\b)\\p{Ll}+", Kind::kWords, {u"a"}},
        {u"(?-i)\\b(?=a\\b)\\p{Ll}+", Kind::kWords, {u"a"}, u"", false, {}, u"", true},
        {u"\\b(?=a\\b)\\p{Ll}?b", Kind::kWords, {u"a"}},
        {u"(?<![\\p{L}])\\p{Ll}+", Kind::kAnyWord, {}, u"", false, {}, u"", true},
        {u"(?<![\\p{L}.])(?-i:monday|Friday)\\b", Kind::kWords, {u"monday", u"friday"}},
        {u"(?i)\\bSTRASSE", Kind::kWords, {u"strasse"}},
        {u"(?i)(?<![\\p{L}\\p{N}_])(\\p{L}+) \\1\\b", Kind::kAnyWord, {}, u"", true},
        {u"(?i)(?<=[^ ][ \\t]{1,3})(?<!\\p{L})(\\p{L}+)[ \\t]*\\r?\\n[ "
         u"\\t]*(?-i:(?!\\p{Lu}\\p{Ll}))\\1\\b",
         Kind::kAnyWord,
         {},
         u"",
         true},
        // A word that may repeat inside a run, after other letters, as another group, or as \10.
        {u"\\b(\\p{L}+)[ \\t]*\\1", Kind::kAnyWord, {}},
        {u"\\b(\\p{L}+) and \\1", Kind::kAnyWord, {}},
        {u"(?<=(x) )(?<!\\p{L})(\\p{L}+) \\1", Kind::kAnyWord, {}},
        {u"\\b(\\p{L}+) \\10", Kind::kAnyWord, {}},
        // Nothing known: a letter made optional, no boundary, a look-behind that lets a letter
        // precede, alternatives at the top, an optional group, free-spacing mode, a class.
        {u"\\bcolou?r", Kind::kWords, {u"colo"}},
        {u"\\bx?y", Kind::kAnywhere, {}},
        {u"(?i)then\\b", Kind::kAnywhere, {}},
        {u"(?<=\\p{L})then", Kind::kAnywhere, {}},
        {u"(?<=\\bme[ \\t]{0,2})to", Kind::kAnywhere, {}},
        {u"\\bfoo|bar", Kind::kAnywhere, {}},
        {u"\\b(?:the )?cat", Kind::kAnywhere, {}},
        {u"(?x)\\b f o o", Kind::kAnywhere, {}},
        {u"\\b[Tt]he", Kind::kAnywhere, {}},
        {u"\\b(a|[,;])", Kind::kAnywhere, {}},
        {u"\\b(\\p{L}+|,)", Kind::kAnywhere, {}},
        {u"(?<=\\p{L})([,;])\\1", Kind::kChars, {}, u",;"},
        {u"(?<=\\p{Ll})[ \\t]+\\.", Kind::kChars, {}, u" \t", false, {}, u"."},
        // Marks that follow the blanks a match starts with.
        {u"(?<=\\p{Ll})[ \\t]{1,3}(?=x)([,;])", Kind::kChars, {}, u" \t", false, {}, u",;"},
        {u"[ \\t]+[ ,]", Kind::kChars, {}, u" \t"},
        {u"[ \\t]*[,]", Kind::kAnywhere, {}},
        {u"[ \\t]+\\p{L}", Kind::kChars, {}, u" \t"},
        {u"\\.\\.(?= )", Kind::kChars, {}, u"."},
        {u"[!?]{2,}", Kind::kChars, {}, u"!?"},
        {u"[!?]{0,2}x", Kind::kAnywhere, {}},
        {u"[a-c,]", Kind::kAnywhere, {}},
        {u"[\\s,]", Kind::kAnywhere, {}},
        {u",?x", Kind::kAnywhere, {}},
        {u"\\b(unclosed", Kind::kAnywhere, {}},
    };
    for (const auto& row : rows) {
        const RuleAnchor anchor = RuleAnchor::Of(row.pattern);
        EXPECT_EQ(anchor.kind(), row.kind) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.words(), row.words) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.chars(), row.chars) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.repeatsWord(), row.repeatsWord) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.laterWords(), row.later) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.laterChars(), row.laterChars) << WordTokenizer::ToUtf8(row.pattern);
        EXPECT_EQ(anchor.lowerCaseFirst(), row.lowerCaseFirst)
            << WordTokenizer::ToUtf8(row.pattern);
    }
}

// Trying rules only at their anchors finds exactly what trying every position finds: on every
// example sentence of both rule files and on texts made to catch a wrong anchor.
TEST(RuleAnchorTest, AnchoredCheckFindsWhatEveryPositionFinds) {
    std::vector<std::u16string> texts = {
        u"𝐀bc the the 𝐀 a apple. the end. STRASSE straße Straße",
        u"He could of gone; ihr seit so nett. Seid wann? x,and y,,z.. Then",
        u"a\u0301 apple, an\u00a0car, it’s own, I doesn’t, Its’ fine!!",
        // Words later in a match: cases, folding, a word cut by a mark.
        u"We could have WENT; they can't came. I doesn't; we doesn\u2019t. He must of. Mustn't of",
        u"a ; b  , c \t;d ! e ?F  ,  ; x , y ?  ",
        std::u16string(40, u' ') + u"word , next" + std::u16string(20, u' '),
        std::u16string(3000, u'a') + u" could of " + std::u16string(40, u'b'),
        // Repeated words: cases, line breaks, full case folding, kept prefixes cut in a pair.
        u"the The  the\nthe\r\n THE, Stra\u00dfe STRASSE strasse \u1e9e\u1e9e ss",
        std::u16string(30, u'a') + u" " + std::u16string(30, u'A') + u" " +
            std::u16string(26, u'\u00df') + u" " + std::u16string(52, u's'),
        std::u16string(23, u'x') + u"𐐀yz " + std::u16string(23, u'X') + u"𐐨YZ",
        u"",
    };
    for (const char* file : {GRAMMAR_RULES_FILE, GRAMMAR_RULES_DE_FILE}) {
        const auto table = Table(file);
        for (const auto& example : table->examples())
            texts.push_back(WordTokenizer::ToUtf16(example.text));
    }
    for (const char* file : {GRAMMAR_RULES_FILE, GRAMMAR_RULES_DE_FILE}) {
        const GrammarChecker anchored(Table(file));
        const GrammarChecker everywhere(Table(file), GrammarChecker::Matching::kEveryPosition);
        for (const std::u16string& text : texts)
            EXPECT_TRUE(SameProblems(anchored.Check(text), everywhere.Check(text)))
                << file << ": " << WordTokenizer::ToUtf8(text.substr(0, 60));
    }
    // A rule for sentence starts is not tried where no sentence starts, yet a match there still
    // hides the starts it covers; rules that start at marks other than ASCII ones.
    const char* sentenceStart = "4 start /\\b(?:see|the)[\\p{L} .]*/ => x :: y\n";
    const char* quotes = "9 - /[\u201e\u201c]\\p{L}+/ => x :: y\n9 - /[ ]+\u201d/ => x :: y\n";
    const struct {
        const char* rules;
        const char16_t* text;
        size_t problems;
    } rows[] = {
        {sentenceStart, u"We see it. the end", 0},           // the match at "see" covers "the"
        {sentenceStart, u"We saw it. the end", 1},           // "the" starts a sentence
        {sentenceStart, u"We saw it. the see. the end", 1},  // one match to the end
        {sentenceStart, u"We see it.\n\nthe end. so the x", 0},
        {sentenceStart, u"We saw it.\n\nthe, so. the x",
         1},  // a paragraph's start, then a sentence's
        {sentenceStart, u"the end", 1},
        {sentenceStart, u"  see. the", 1},
        {"4 start /\\b(?=(?:the|see)\\b)\\p{Ll}+/ => x :: y\n", u"The see. The the. the See. See",
         1},
        {"4 - /(?<![\\p{L}])\\p{Ll}+/ => x :: y\n",
         u"The \U0001d41a\U0001d400 see \u00e9\u00c9 \u01c5x", 3},
        {quotes, u"\u201eSo\u201c, \u201cx \u201d and \u201d", 4},
    };
    for (const auto& row : rows) {
        const auto table =
            std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Parse(row.rules));
        const GrammarChecker anchored(table);
        const GrammarChecker everywhere(table, GrammarChecker::Matching::kEveryPosition);
        const auto found = anchored.Check(row.text);
        EXPECT_TRUE(SameProblems(found, everywhere.Check(row.text)))
            << WordTokenizer::ToUtf8(row.text);
        EXPECT_EQ(found.size(), row.problems) << WordTokenizer::ToUtf8(row.text);
    }
}

TEST(GrammarLanguagesTest, ChoosesRulesByLanguage) {
    const GrammarLanguages languages(
        {{"en", Table(GRAMMAR_RULES_FILE)}, {"de", Table(GRAMMAR_RULES_DE_FILE)}});
    const struct {
        const char* language;
        const char16_t* text;
        int rule;  // the rule found in `text`; 0: no checker for the language
    } rows[] = {
        {"en_US", u"She has went home.", 61},
        {"en-gb", u"She has went home.", 61},
        {"de_DE", u"Ich glaube dass er kommt.", 209},
        {"DE_at", u"Das geht garnicht.", 224},
        {"de", u"Ihr seit so nett.", 205},
        {"fr_FR", u"", 0},
        {"", u"", 0},
        {"../en", u"", 0},
    };
    for (const auto& row : rows) {
        const GrammarChecker* checker = languages.For(row.language);
        ASSERT_EQ(checker != nullptr, row.rule != 0) << row.language;
        if (!checker) continue;
        const auto problems = checker->Check(row.text);
        ASSERT_EQ(problems.size(), 1u) << row.language;
        EXPECT_EQ(problems[0].rule, row.rule) << row.language;
    }
    EXPECT_EQ(languages.Languages(), (std::vector<std::string>{"en", "de"}));
    EXPECT_EQ(GrammarRuleTable::ForLanguage("../x"), nullptr);
    EXPECT_EQ(GrammarRuleTable::ForLanguage("zz_ZZ"), nullptr);
}

// check_grammar takes the rules of the language its `languageOf` tells for the text, English
// when that language has none.
TEST(GrammarLanguagesTest, CheckGrammarUsesTheRulesOfTheTextsLanguage) {
    const GrammarLanguages languages(
        {{"en", Table(GRAMMAR_RULES_FILE)}, {"de", Table(GRAMMAR_RULES_DE_FILE)}});
    const struct {
        const char* language;  // what languageOf answers
        const char* text;
        const char* ranges;
        const char* rules;
    } rows[] = {
        {"de_DE", "Ich glaube dass er kommt.", "10,5;", "209"},
        {"de_CH", "Er ist größer wie ich.", "7,10;", "216"},
        {"en_US", "She has went home.", "4,8;", "61"},
        {"fr_FR", "She has went home.", "4,8;", "61"},
        {"", "She has went home.", "4,8;", "61"},
        {"en_GB", "Ich glaube dass er kommt.", "", ""},
    };
    for (const auto& row : rows) {
        const std::string language = row.language;
        const GrammarService service(languages, [&language](std::string_view) { return language; });
        const auto results = service.CheckGrammar({"", "", row.text, "-1"});
        EXPECT_EQ(results[2], row.ranges) << row.language << ": " << row.text;
        EXPECT_EQ(results[3], row.rules) << row.language << ": " << row.text;
    }
}

TEST(GrammarTextTest, IndexesLetterRunsAndLines) {
    const std::u16string text = u"Straße 𝐀bc x1y\n    code = 1;\n\nEnd";
    const GrammarText t(text);
    std::vector<std::pair<size_t, std::u16string>> runs;
    for (const auto& run : t.runs()) runs.emplace_back(run.pos, run.folded.substr(0, 4));
    const std::vector<std::pair<size_t, std::u16string>> expected = {
        {0, u"stra"}, {7, u"𝐀bc"}, {12, u"x1y\n"}, {14, u"y\n  "}, {20, u"code"}, {31, u"end"}};
    EXPECT_EQ(runs, expected);
    const struct {
        size_t pos;
        size_t lineStart;
        size_t firstNonBlank;
        bool codeMarks;
    } rows[] = {{0, 0, 0, false},
                {14, 0, 0, false},
                {20, 16, 20, true},
                {30, 30, 30, false},
                {33, 31, 31, false}};
    for (const auto& row : rows) {
        EXPECT_EQ(t.LineStart(row.pos), row.lineStart) << row.pos;
        EXPECT_EQ(t.FirstNonBlank(row.pos), row.firstNonBlank) << row.pos;
        EXPECT_EQ(t.HasCodeMarks(row.pos), row.codeMarks) << row.pos;
    }
}
