// Character references the writer typed into HTML input stay references, and closing tags that
// close nothing of the text never reach the page.
#include <gtest/gtest.h>

#include "TextTestSupport.h"

namespace {

using texttest::Loaded;
using texttest::U8;

std::string HtmlSafe(Loaded& loaded) { return U8(loaded.text.Render(CText::PlainText::kHtmlSafe)); }

TEST(CharacterReferences, WellFormedReferencesInHtmlInputAreKept) {
    const struct {
        const char* input;
        const char* rendered;
    } rows[] = {
        {"Rock &#x26; roll it&#x2019;s", "Rock &#x26; roll it&#x2019;s "},
        {"it&apos;s &#38; &amp;", "it&apos;s &#38; &amp; "},
        {"a & b", "a &amp; b "},
        {"&#x; &#; &; &x", "&amp;#x; &amp;#; &amp;; &amp;x "},
        {"&#xZZ; &1a;", "&amp;#xZZ; &amp;1a; "},
        {"AT&T's", "AT&amp;T's "},
    };
    for (const auto& row : rows) {
        Loaded loaded(row.input);
        EXPECT_EQ(HtmlSafe(loaded), row.rendered) << row.input;
    }
}

TEST(CharacterReferences, HexadecimalReferencesAreCheckedAsTheirCharacters) {
    const struct {
        const char* input;
        const char* check;  // what the engine reads
    } rows[] = {
        {"<b>it&#x2019;s</b>", "it\xE2\x80\x99s "},
        {"Rock &#x26; roll", "Rock & roll "},
        {"caf&#xE9; &#XE9;", "caf\xC3\xA9 \xC3\xA9 "},
    };
    for (const auto& row : rows) {
        Loaded loaded(row.input);
        EXPECT_EQ(loaded.Check(), row.check) << row.input;
        EXPECT_EQ(HtmlSafe(loaded), std::string(row.input) + " ") << row.input;
        EXPECT_EQ(loaded.View(), std::string(row.input) + " ") << row.input;
    }
}

TEST(CharacterReferences, PlainTextInputEscapesEveryAmpersand) {
    Loaded loaded("Rock &#x26; roll", {}, u"[-html]");
    EXPECT_EQ(HtmlSafe(loaded), "Rock &amp;#x26; roll ");
}

TEST(ClosingTags, ThoseThatCloseNothingOfTheTextAreDropped) {
    const struct {
        const char* input;
        const char* view;  // filtered view
        const char* full;  // the marked text as the page gets it
    } rows[] = {
        {"a</div>b", "ab ", "ab "},
        {"<div>a</div></div>b", "<div>a</div>b ", "<div>a</div>b "},
        {"<b>a</b></td></tr></table></body>c", "<b>a</b>c ", "<b>a</b>c "},
        {"<br>x</br>", "<br>x ", "<br>x "},
        {"<p>a<p>b</p></p></p>", "<p>a<p>b</p></p> ", "<p>a<p>b</p></p> "},
        {"x</section><section>y</section>", "xy ", "x<section>y</section> "},
    };
    for (const auto& row : rows) {
        Loaded filtered(row.input, {}, u"[_fvw_]");
        EXPECT_EQ(U8(filtered.text.Render()), row.view) << row.input;
        Loaded full(row.input);
        EXPECT_EQ(HtmlSafe(full), row.full) << row.input;
        // Nothing the writer typed is lost from the text itself.
        EXPECT_EQ(U8(full.text.SourceText()), std::string(row.input) + " ") << row.input;
    }
}

}  // namespace
