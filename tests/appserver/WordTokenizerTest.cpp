// The spelling path's word breaking against ICU: the ASCII breaker must find exactly ICU's word
// segments, and the UTF-8 words (ASCII stretches without ICU, views into the text) must be the
// words of the UTF-16 form that breaks everything with ICU.
#include <gtest/gtest.h>
#include <unicode/brkiter.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/EngineError.h"
#include "spell/AsciiWordBreaker.h"
#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"

namespace {

using Segments = std::vector<std::pair<size_t, size_t>>;
using WordTuple = std::tuple<size_t, size_t, std::string, bool>;  // pos, len, utf8, inLink

// ICU's word segments (rule status other than "none") of an ASCII text.
Segments IcuSegments(const std::string& ascii) {
    UErrorCode status = U_ZERO_ERROR;
    static const std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(ascii.data(), static_cast<int32_t>(ascii.size())));
    it->setText(text);
    Segments out;
    int32_t begin = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; begin = end, end = it->next())
        if (it->getRuleStatus() != UBRK_WORD_NONE)
            out.emplace_back(static_cast<size_t>(begin), static_cast<size_t>(end));
    return out;
}

Segments AsciiSegments(const std::string& ascii) {
    AsciiWordBreaker breaker(ascii);
    Segments out;
    size_t begin = 0, end = 0;
    while (breaker.Next(begin, end)) out.emplace_back(begin, end);
    return out;
}

std::vector<WordTuple> IcuWords(const std::string& utf8) {
    std::vector<WordTuple> out;
    const std::u16string text = WordTokenizer::ToUtf16(utf8);
    for (const TextWord& w : WordTokenizer::Words(text))
        out.emplace_back(w.pos, w.len, WordTokenizer::ToUtf8(text.substr(w.pos, w.len)), w.inLink);
    return out;
}

std::vector<WordTuple> Utf8Words(const std::string& utf8) {
    std::vector<WordTuple> out;
    for (const WordRef& w : WordTokenizer::Words(utf8, WordTokenizer::Links::kMark))
        out.emplace_back(w.pos, w.len, std::string(w.utf8), w.inLink);
    return out;
}

// Random texts of `pieces` drawn from `alphabet`, the same ones every run.
std::vector<std::string> RandomTexts(const std::vector<std::string>& alphabet, size_t count,
                                     size_t maxPieces) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<size_t> piece(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> length(1, maxPieces);
    std::vector<std::string> texts;
    for (size_t i = 0; i < count; ++i) {
        std::string text;
        for (size_t n = length(random); n > 0; --n) text += alphabet[piece(random)];
        texts.push_back(text);
    }
    return texts;
}

const std::vector<std::string> kAsciiAlphabet = {
    "a", "Z",  "9",  "_",  ".",  ":", "'", ",",  ";",
    " ", "-",  "\t", "\r", "\n", "@", "/", "\"", "w",
    "c", "om", "\v", "(",  ")",  "?", "#", "+",  std::string(1, '\0')};

const char* const kTrickyAscii[] = {
    "don't",
    "can't'",
    "'quoted'",
    "e.g.",
    "a.b.c",
    "a..b",
    "1.2.3",
    "3.14 1,000 1;2 1:2",
    "a:b S:t",
    "a,b a;b",
    "_ __ ___ a_ _a _1 1_ a_.b 1_._2",
    "a_1.2 1.2a.b 1a.b a1.b",
    "a'1 1'a 1.a a.1 a.'b a'.b 1.,2",
    "end.Next word.",
    "\r\n\r\r\n\n",
    "x\vy\fz",
    "tab\tseparated  blanks   end",
    "mail me@example.org, see www.Example.com/x?y.",
    "(http://a.b/c) \"x.de\" 'y.co.uk'",
    "@ a@w x@y.z @@ 1@ @_ @.b",
    "a-b--c",
    "",
    " ",
    "_",
    "'",
    "...",
    "it's 5 o'clock",
};

}  // namespace

TEST(AsciiWordBreakerTest, FindsIcusSegmentsInTrickyCases) {
    for (const char* text : kTrickyAscii) EXPECT_EQ(AsciiSegments(text), IcuSegments(text)) << text;
}

TEST(AsciiWordBreakerTest, FindsIcusSegmentsInEveryShortText) {
    const std::string alphabet = "aZ9_.',;:@ -\r\n\x01";
    std::string text(3, ' ');
    for (char a : alphabet)
        for (char b : alphabet)
            for (char c : alphabet) {
                text = {a, b, c};
                ASSERT_EQ(AsciiSegments(text), IcuSegments(text)) << text;
            }
}

TEST(AsciiWordBreakerTest, FindsIcusSegmentsInRandomTexts) {
    for (const std::string& text : RandomTexts(kAsciiAlphabet, 20000, 24))
        ASSERT_EQ(AsciiSegments(text), IcuSegments(text)) << text;
}

TEST(WordTokenizerTest, Utf8WordsAreIcusWordsInAsciiTexts) {
    for (const char* text : kTrickyAscii) EXPECT_EQ(Utf8Words(text), IcuWords(text)) << text;
    for (const std::string& text : RandomTexts(kAsciiAlphabet, 20000, 24))
        ASSERT_EQ(Utf8Words(text), IcuWords(text)) << text;
}

TEST(WordTokenizerTest, Utf8WordsAreIcusWordsInMixedTexts) {
    const char* const tricky[] = {"won\u2019t stop",
                                  "caf\u00e9 au lait",
                                  "na\u0308ive e\u0301 e \u0301x",
                                  "a \u200Db",
                                  "x\u00A0www.example.com\u00A0y",
                                  "\u201Cwww.a.com\u201D and \u2018b.org\u2019",
                                  "\u65E5\u672C\u8A9E\u306E text \u0E44\u0E17\u0E22 words",
                                  "\U0001F600 smile \U0001D400bc",
                                  "r\u00e9sum\u00e9.Next \u00e9.\u00e9 1.\u00e9",
                                  "line\r\n\u00e9t\u00e9\r\nend",
                                  "\u00e9 \u00e9  \u00e9\t\u00e9",
                                  "\u00e9"};
    for (const char* text : tricky) EXPECT_EQ(Utf8Words(text), IcuWords(text)) << text;

    std::vector<std::string> alphabet = kAsciiAlphabet;
    alphabet.insert(alphabet.end(),
                    {"\u00e9", "\u00C9", "\u2019", "\u0301", "\u200D", "\u00A0", "\u65E5", "\u0E44",
                     "\U0001F600", "\u201C", "\u2003", "\u00AD"});
    for (const std::string& text : RandomTexts(alphabet, 20000, 20))
        ASSERT_EQ(Utf8Words(text), IcuWords(text)) << text;
}

TEST(WordTokenizerTest, Utf8WordsViewIntoTheText) {
    const std::string text = "Hello w\u00f6rld, it's fine.";
    const auto words = WordTokenizer::Words(text, WordTokenizer::Links::kIgnore);
    ASSERT_EQ(words.size(), 4u);
    for (const WordRef& w : words) {
        EXPECT_GE(w.utf8.data(), text.data());
        EXPECT_LE(w.utf8.data() + w.utf8.size(), text.data() + text.size());
    }
    EXPECT_EQ(words[2].pos, 13u);  // "it's": "ö" is one code unit, two bytes
}

TEST(WordTokenizerTest, LinksAreOnlyMarkedOnRequest) {
    const std::string text = "see www.example.com now";
    const auto marked = WordTokenizer::Words(text, WordTokenizer::Links::kMark);
    const auto unmarked = WordTokenizer::Words(text, WordTokenizer::Links::kIgnore);
    ASSERT_EQ(marked.size(), 5u);
    EXPECT_TRUE(marked[1].inLink && marked[2].inLink && marked[3].inLink);
    EXPECT_FALSE(marked[0].inLink || marked[4].inLink);
    for (const WordRef& w : unmarked) EXPECT_FALSE(w.inLink) << w.utf8;
}

TEST(WordTokenizerTest, MalformedUtf8IsRejectedWherever) {
    const std::string rows[] = {"\xff",          "abc \xC3",        "\xC3 abc",
                                "a\xED\xA0\x80", "ok \xC0\x80 ok",  "x \xF8\x88\x80\x80\x80 y",
                                "\x80 lone",     "fine \xE2\x80 no"};
    for (const std::string& text : rows) {
        try {
            WordTokenizer::Words(text, WordTokenizer::Links::kMark);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EngineError& e) {
            EXPECT_STREQ(e.what(), "Text is not valid UTF-8");
        }
    }
}

TEST(WordShapeTest, Utf8AndUtf16FormsAgree) {
    const char* const words[] = {"iPhone", "McDonald", "\u00C9COLE",   "\u00C9cole", "\u01C5emal",
                                 "x1",     "\u0663",   "\U0001D400b",  "ABC",        "abc",
                                 "a'B",    "_",        "\u00e9T\u00e9"};
    for (const char* word : words) {
        const WordShape wide(WordTokenizer::ToUtf16(word));
        const WordShape narrow{std::string_view(word)};
        EXPECT_EQ(std::make_tuple(narrow.allCapitals(), narrow.hasDigit(), narrow.mixedCase(),
                                  narrow.titleCase()),
                  std::make_tuple(wide.allCapitals(), wide.hasDigit(), wide.mixedCase(),
                                  wide.titleCase()))
            << word;
    }
}
