#include <gtest/gtest.h>

#include "kernel/ContentTypes.h"
#include "kernel/CriticalErrorMessage.h"
#include "kernel/QuotedValue.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateMap.h"
#include "utils/InternalDataKeys.h"

namespace {

constexpr char kXmlErrorDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><?xml-stylesheet type=\"text/xsl\" "
    "href=\"<#ferrix_url#>?cmd=error_conversion\" "
    "?><error><message><![CDATA[<#e_message#>]]></message>"
    "<critical><#e_is_critical#></critical><command><#e_command#></command><ref><text><![CDATA["
    "<#e_ref_text#>]]></text><url><#e_ref_url#></url></ref></error>";
constexpr char kWebServiceXml[] =
    "<?xml version=\"1.0\" "
    "encoding=\"utf-8\"?><check_spelling><error><message><#e_message#></message></error>"
    "</check_spelling>";
constexpr char kWebServiceJs[] = "{\"message\": \"<#e_message#>\", \"command\": \"<#e_command#>\"}";
constexpr char kAlert[] = "alert(\"<#e_message_title#>: <#e_message#>\");";
constexpr char kNoCache[] = "no-store, no-cache, must-revalidate, post-check=0, pre-check=0";

class ErrorRenderTest : public ::testing::Test {
  protected:
    StringMap map;
    InternalData data;
    TemplateMap templates;

    void SetUp() override { data.Insert<std::string>(idkey::ServerName, "Verbarium server"); }
    void CommandAnswers(const std::string& command, const std::string& contentType) {
        templates.set(command, TemplateInformationRef::make<InlineTemplateInformation>(contentType,
                                                                                       "T", false));
    }
    void Fail(const Error::ErrorMessage& error) {
        data.Insert(idkey::TemplateMap, templates);
        error.Render(map, data);
    }
    std::string ContentTypeSet() const {
        return data.Get<ContentType>(idkey::ResponseContentType).text;
    }
};

}  // namespace

TEST_F(ErrorRenderTest, ErrorTemplateFollowsTheCommandsContentTypeAndRunMode) {
    const struct {
        const char* commandType;  // nullptr: the command has no template
        const char* runMode;
        const char* checkSpellingType;
        const char* errorTemplate;
        const char* errorType;
    } rows[] = {
        {ctype::kXml, "web_service", nullptr, kWebServiceXml, ctype::kXml},
        {ctype::kJavaScript, "web_service", nullptr, kWebServiceJs, ctype::kJavaScript},
        {ctype::kHtml, "web_service", nullptr, kXmlErrorDocument, ctype::kXml},
        {ctype::kHtml, "", nullptr, kXmlErrorDocument, ctype::kXml},
        {ctype::kXml, "", nullptr, kXmlErrorDocument, ctype::kXml},
        {ctype::kJavaScript, "", nullptr, kAlert, ctype::kJavaScript},
        {ctype::kXsl, "", nullptr, "", ctype::kXsl},
        {ctype::kCss, "other", nullptr, "", ctype::kCss},
        {nullptr, "", nullptr, kXmlErrorDocument, ctype::kXml},
        {nullptr, "web_service", ctype::kJavaScript, kWebServiceJs, ctype::kJavaScript},
        {nullptr, "web_service", nullptr, kWebServiceXml, ctype::kXml},
    };
    for (const auto& row : rows) {
        map.clear();
        data = InternalData();
        templates = TemplateMap();
        SetUp();
        map["cmd"] = "thecmd";
        map["run_mode"] = row.runMode;
        if (row.commandType) CommandAnswers("thecmd", row.commandType);
        if (row.checkSpellingType) CommandAnswers("check_spelling", row.checkSpellingType);
        Fail(Error::ErrorMessage("Failed.", "here", 1));
        SCOPED_TRACE(std::string(row.commandType ? row.commandType : "none") + " / " + row.runMode);
        EXPECT_EQ(map[":template:"], row.errorTemplate);
        EXPECT_EQ(ContentTypeSet(), row.errorType);
        EXPECT_EQ(data.Get<std::string>(idkey::HttpCacheControl), kNoCache);
        EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));
        EXPECT_TRUE(data.Get<bool>(idkey::ExpandTemplate));
        EXPECT_FALSE(data.Find(idkey::HttpStatus));
    }
}

TEST_F(ErrorRenderTest, FillsTheErrorKeys) {
    map["cmd"] = "Spell";
    map["product_website"] = "verbarium.example.org";
    Fail(Error::ErrorMessage("See <#product_website#>.", "here", 1));
    EXPECT_EQ(map["e_command"], "Spell");
    EXPECT_EQ(map["cmd"], "error");
    EXPECT_EQ(map["e_message_title"], "Verbarium server");
    EXPECT_EQ(map["e_is_critical"], "0");
    EXPECT_EQ(map["e_message"], "See verbarium.example.org.");
    EXPECT_EQ(map.count("e_ref_url"), 0u);
}

TEST_F(ErrorRenderTest, DetailedAndCriticalErrorsAddReferenceAndFlag) {
    Fail(Error::DetailedErrorMessage("m", "http://ref", "Read this", "here", 1));
    EXPECT_EQ(map["e_ref_url"], "http://ref");
    EXPECT_EQ(map["e_ref_text"], "Read this");
    EXPECT_EQ(map["e_is_critical"], "0");
    Error::CriticalErrorMessage("m", "here", 1).Render(map, data);
    EXPECT_EQ(map["e_is_critical"], "1");
    EXPECT_EQ(map["e_ref_url"], "");
}

TEST_F(ErrorRenderTest, LoadTemplateIsTurnedOffEvenWhenAlreadySet) {
    data.Insert(idkey::LoadTemplate, true);
    Fail(Error::ErrorMessage("m", "here", 1));
    EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));
}

// A value quoted in a message must not open placeholders (reading configuration) nor markup.
TEST_F(ErrorRenderTest, QuotedRequestValuesStayInertInTheMessage) {
    map[":ini_secret:"] = "hunter2";
    map["secret"] = "hunter2";
    const std::string format = "<#secret#><script>\"&";
    Fail(Error::ErrorMessage("Format '" + QuoteRequestValue(format) + "' is not supported.", "here",
                             1));
    EXPECT_EQ(map["e_message"],
              "Format '&lt;#secret#&gt;&lt;script&gt;&quot;&amp;' is not supported.");
}

TEST_F(ErrorRenderTest, ScriptAnswersEscapeTheMessageForAStringLiteral) {
    map["cmd"] = "kwirl_spell";
    CommandAnswers("kwirl_spell", ctype::kJavaScript);
    Fail(Error::ErrorMessage("bad \\ \"value\"\r\n", "here", 1));
    EXPECT_EQ(map[":template:"], kAlert);
    EXPECT_EQ(map["e_message"], "bad \\\\ \\\"value\\\"\\r\\n");
    EXPECT_EQ(map["e_message_title"], "Verbarium server");
}

TEST_F(ErrorRenderTest, MalformedMessageTemplateIsUsedAsItIs) {
    Fail(Error::ErrorMessage("broken <#", "here", 1));
    EXPECT_EQ(map["e_message"], "broken <#");
}

// Without a fitting error template the answer is still written: status 500 and the message.
TEST_F(ErrorRenderTest, NoFittingErrorTemplateGivesAPlainTextAnswer) {
    map["cmd"] = "img";
    CommandAnswers("img", "image/gif");
    Fail(Error::ErrorMessage("Image <#x#> failed.", "here", 1));
    EXPECT_EQ(map[":template:"], "Image  failed.");
    EXPECT_EQ(ContentTypeSet(), ctype::kPlainText);
    EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "500");
    EXPECT_FALSE(data.Get<bool>(idkey::ExpandTemplate));
    EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));
    EXPECT_THROW(Error::ErrorMessage("m", "f", 1).FindErrorTemplate("image/gif"),
                 Error::ErrorMessage::ErrorTemplateAbsent);
}

TEST_F(ErrorRenderTest, MissingServerNameAndTemplateMapStillGiveTheXmlErrorDocument) {
    StringMap bare;
    InternalData empty;
    Error::ErrorMessage("m", "here", 1).Render(bare, empty);
    EXPECT_EQ(bare[":template:"], kXmlErrorDocument);
    EXPECT_EQ(bare["e_message_title"], "");
}

TEST_F(ErrorRenderTest, TemplateSourceThatCannotTellItsTypeCountsAsNone) {
    map["cmd"] = "hole";
    templates.set("hole", TemplateInformationRef());
    Fail(Error::ErrorMessage("m", "here", 1));
    EXPECT_EQ(map[":template:"], kXmlErrorDocument);
}
