#include <gtest/gtest.h>

#include <stdexcept>

#include "templates/DefMetaHandlerWithEscaping.h"
#include "templates/MetaHandlerMap.h"
#include "templates/PageTemplate.h"
#include "templates/TemplateRendering.h"

namespace {

using Page = PageTemplate<std::string>;

std::string Render(const std::string& text, StringMap& map) {
    return ExpandPlaceholders(text, map);
}

int ParseFailure(const std::string& text) {
    try {
        Page page(text, "<#", "#>");
    } catch (const Page::exception& e) {
        EXPECT_EQ(e.position, -1);
        return e.code;
    }
    return -1;
}

class ThrowingHandler : public DefMetaHandler {
  public:
    std::string render(const Arguments&, StringMap&) override { throw std::runtime_error("boom"); }
};

}  // namespace

TEST(PageTemplateTest, MalformedTextsFailWithTheirCode) {
    const struct {
        const char* text;
        int code;
    } rows[] = {
        {"a <#name", Page::kUnclosed},
        {"<#a#> and <#b", Page::kUnclosed},
        {"<#>", Page::kUnclosed},  // the close delimiter must begin after the open one
        {"x<##>y", Page::kEmptyPlaceholder},
        {"<#(a)#>", Page::kLeadingParenthesis},
        {"<#a)#>", Page::kUnbalanced},
        {"<#a(b#>", Page::kUnbalanced},
        {"<#a)(b#>", Page::kUnbalanced},
        {"plain text", -1},
        {"#> stray close <#ok#>", -1},
    };
    for (const auto& row : rows) EXPECT_EQ(ParseFailure(row.text), row.code) << row.text;
}

TEST(PageTemplateTest, ParsesLiteralsNamesAndArguments) {
    const Page page("A<#View#>B<#f(x,,y)#>C<#g()tail#>", "<#", "#>");
    EXPECT_EQ(page.literals(), (std::vector<std::string>{"A", "B", "C", ""}));
    EXPECT_EQ(page.names(), (std::vector<std::string>{"view", "f", "g"}));
    EXPECT_EQ(page.arguments()[0], (std::vector<std::string>{"view"}));
    EXPECT_EQ(page.arguments()[1], (std::vector<std::string>{"f", "x", "", "y"}));
    EXPECT_EQ(page.arguments()[2], (std::vector<std::string>{"g"}));
}

TEST(PageTemplateTest, WorksOverWideStrings) {
    const PageTemplate<std::u16string> page(u"a<#N\u00C9(1)#>b", u"<#", u"#>");
    EXPECT_EQ(page.names(), (std::vector<std::u16string>{u"n\u00C9"}));  // only A-Z are lowered
    EXPECT_EQ(page.literals().back(), u"b");
}

TEST(PageTemplateTest, TextWithoutPlaceholdersRendersToItself) {
    StringMap map;
    EXPECT_EQ(Render("no placeholders # < > here", map), "no placeholders # < > here");
    EXPECT_EQ(Render("", map), "");
}

TEST(PageTemplateTest, NamesResolveThroughLowerCaseKeysAndIgnoreArguments) {
    StringMap map{{"view", "V"}, {"View", "capital"}};
    EXPECT_EQ(Render("[<#VIEW#>|<#view(1,2)#>|<#missing#>]", map), "[V|V|]");
    EXPECT_EQ(map.count("missing"), 1u);
}

TEST(PageTemplateTest, RenderedValuesAreNotScannedAgain) {
    StringMap map{{"a", "<#b#>"}, {"b", "secret"}};
    EXPECT_EQ(Render("<#a#>", map), "<#b#>");
}

TEST(PageTemplateTest, OneResolverPerDistinctName) {
    StringMap map;
    MetaHandlerMap handlers;
    RenderTemplate("<#a#><#A#><#b#><#a(1)#>", handlers, map);
    EXPECT_EQ(handlers.size(), 2u);
}

TEST(PageTemplateTest, FailingResolverIsReportedAsRenderFailure) {
    StringMap map;
    MetaHandlerMap handlers;
    handlers.Register("bad", new ThrowingHandler());
    try {
        RenderTemplate("x<#bad#>", handlers, map);
        FAIL() << "no exception";
    } catch (const Page::exception& e) {
        EXPECT_EQ(e.code, Page::kRenderFailed);
    }
}

TEST(PageTemplateTest, EscapingResolverEscapesStoresBackAndSoEscapesTwice) {
    StringMap map{{"v", "<b>(x)"}, {"t", "a\r\n\n\nb"}};
    MetaHandlerMap handlers(&MetaHandlerMap::MakeEscaping);
    EXPECT_EQ(RenderTemplate("<#v#> <#v#>", handlers, map),
              "&lt;b&gt;&#040;x&#041; &amp;lt;b&amp;gt;&amp;#040;x&amp;#041;");
    EXPECT_EQ(RenderTemplate("<#t#>", handlers, map), "a&#13;&#10;b");
}
