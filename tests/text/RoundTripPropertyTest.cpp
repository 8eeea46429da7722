// Property test over generated texts (fixed seed): random mixes of plain text, tags, skipped
// blocks, references, forum tags, colour codes and characters beyond U+FFFF. An independent
// oracle built with each text says what the check stream is and where every check unit comes
// from in the input; the model must agree, keep the text, and map every range back to it.
#include <gtest/gtest.h>

#include <random>

#include "text/TextProcessor.h"
#include "text/TextTestSupport.h"

using namespace texttest;

namespace {

constexpr int kTexts = 400;
constexpr int kRangesPerText = 12;
constexpr unsigned kSeed = 20240601;

struct Piece {
    std::u16string source;
    std::u16string check;  // what the piece adds to the check stream
};

const std::vector<Piece>& MarkupPieces() {
    static const std::vector<Piece> pieces = {
        {u"<b>", u""},
        {u"</b>", u""},
        {u"<br>", u" "},
        {u"<br/>", u" "},
        {u"<P class=\"x\">", u" "},
        {u"<img src=\"http://x/y.png\" onclick=\"z()\">", u" "},
        {u"<blink>", u""},
        {u"<!-- note -->", u""},
        {u"<script>var a = 1 < 2;</script>", u" "},
        {u"<STYLE>p{color:red}</STYLE>", u" "},
        {u"&amp;", u"&"},
        {u"&eacute;", u"\u00e9"},
        {u"&nbsp;", u" "},
        {u"&Dagger;", u"\u2021"},
        {u"&#233;", u"\u00e9"},
        {u"&#128512;", u"\U0001F600"},
        {u"[B]", u""},
        {u"[/QUOTE]", u""},
        {u"#ff00aa ", u""},
        {u"#ABC ", u""},
    };
    return pieces;
}

// Plain text never holds an opening character of a filter, nor a space that reads as a blank.
const std::vector<std::u16string>& PlainUnits() {
    static const std::vector<std::u16string> units = {
        u"a", u"b",  u"z",  u"Q",    u"7",      u" ",      u" ",      u".",          u",",
        u"'", u"\"", u"-",  u"(",    u")",      u";",      u"]",      u">",          u"=",
        u"/", u"\t", u"\n", u"\r\n", u"\u00e9", u"\u00fc", u"\u4e2d", u"\U0001F600", u"\U00010348"};
    return units;
}

struct Generated {
    std::u16string input;
    std::u16string check;               // without the final blank
    std::vector<std::size_t> sourceAt;  // per check unit: where it comes from in the input
};

Generated Generate(std::mt19937& random) {
    Generated g;
    std::uniform_int_distribution<int> pieces(0, 24);
    std::uniform_int_distribution<int> kind(0, 2);
    const int count = pieces(random);
    for (int i = 0; i < count; ++i) {
        if (kind(random) == 0) {
            const auto& markup = MarkupPieces();
            const Piece& piece =
                markup[std::uniform_int_distribution<std::size_t>(0, markup.size() - 1)(random)];
            for (std::size_t k = 0; k < piece.check.size(); ++k)
                g.sourceAt.push_back(g.input.size());
            g.check += piece.check;
            g.input += piece.source;
            continue;
        }
        const auto& units = PlainUnits();
        const int length = std::uniform_int_distribution<int>(1, 8)(random);
        for (int k = 0; k < length; ++k) {
            const auto& unit =
                units[std::uniform_int_distribution<std::size_t>(0, units.size() - 1)(random)];
            for (std::size_t u = 0; u < unit.size(); ++u) g.sourceAt.push_back(g.input.size() + u);
            g.check += unit;
            g.input += unit;
        }
    }
    g.sourceAt.push_back(g.input.size());  // the final blank
    return g;
}

std::vector<std::u16string> HiddenMarkup(const CText& text) {
    std::vector<std::u16string> sources;
    for (const auto& element : text.Elements())
        if (!element.InCheckStream() && element.kind != ElementKind::kPlain)
            sources.push_back(element.source);
    return sources;
}

}  // namespace

TEST(RoundTripProperty, GeneratedTextsKeepTheirTextAndMapEveryRange) {
    std::mt19937 random(kSeed);
    for (int n = 0; n < kTexts; ++n) {
        const Generated g = Generate(random);
        SCOPED_TRACE("text #" + std::to_string(n) + ": " + U8(g.input));
        CText text({});
        text.SetText(g.input);
        ASSERT_EQ(g.input + u" ", text.SourceText());
        const std::u16string check = text.CheckText();
        ASSERT_EQ(g.check + u" ", check);
        for (const auto& element : text.Elements()) {
            if (element.InCheckStream()) {
                ASSERT_EQ(element.check, check.substr(element.checkStart, element.checkLength));
            }
        }

        // Decorations land exactly where the range's characters are written.
        const int size = static_cast<int>(check.size());
        text.SetMarkers(u"[_mkp_]");
        for (int r = 0; r < kRangesPerText; ++r) {
            const int position = std::uniform_int_distribution<int>(0, size - 1)(random);
            const int length =
                std::uniform_int_distribution<int>(0, std::min(6, size - 1 - position))(random);
            ASSERT_EQ(check.substr(position, length), text.Word(position, length));
            text.Decorate(position, u"\x01", position + length, u"\x02");
            const std::u16string rendered = text.Render();
            ASSERT_EQ(g.sourceAt[position], rendered.find(u'\x01')) << position << "+" << length;
            ASSERT_EQ(g.sourceAt[position + length] + 1, rendered.find(u'\x02'))
                << position << "+" << length;
            std::u16string stripped;
            for (char16_t c : rendered)
                if (c != u'\x01' && c != u'\x02') stripped += c;
            ASSERT_EQ(g.input + u" ", stripped);
            text.RemoveDecorations();
        }

        // Replacements change exactly their range of the check stream and keep hidden markup.
        for (int r = 0; r < 3; ++r) {
            const std::u16string before = text.CheckText();
            const auto markup = HiddenMarkup(text);
            const int last = static_cast<int>(before.size()) - 2;  // the final blank stays
            if (last < 0) break;
            const int position = std::uniform_int_distribution<int>(0, last)(random);
            const int length = std::uniform_int_distribution<int>(1, last - position + 1)(random);
            const std::u16string replacement(
                std::uniform_int_distribution<std::size_t>(0, 4)(random), u'x');
            ASSERT_TRUE(text.ReplaceRange(replacement, position, length));
            ASSERT_EQ(before.substr(0, position) + replacement + before.substr(position + length),
                      text.CheckText());
            ASSERT_EQ(markup, HiddenMarkup(text));
        }
    }
}

TEST(RoundTripProperty, ValidUtf8RoundTripsThroughTheProcessor) {
    std::mt19937 random(kSeed + 1);
    for (int n = 0; n < kTexts; ++n) {
        const Generated g = Generate(random);
        TextProcessor processor("", {});
        const std::string utf8 = U8(g.input);
        processor.SetText(utf8);
        ASSERT_EQ(utf8 + " ", processor.GetText());
        ASSERT_EQ(U8(g.check) + " ", processor.GetCheckText());
    }
}
