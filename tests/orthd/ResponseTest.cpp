#include <gtest/gtest.h>

#include <sstream>

#include "kernel/ContentTypes.h"
#include "kernel/CriticalErrorMessage.h"
#include "kernel/QuotedValue.h"
#include "orthd/OutputCodePage.h"
#include "orthd/Response_FLT.h"
#include "orthd/ValueEscape_FLT.h"
#include "templates/CheckSpellingResults.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateMap.h"
#include "utils/InternalDataKeys.h"

namespace {

constexpr std::time_t kNow = 1700000000;
constexpr char kExpiresNow[] = "Expires:Tue, 14 Nov 2023 22:13:20 GMT\r\n";
constexpr char kUdkDeleted[] =
    "Set-Cookie: udk=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax; HttpOnly\r\n";
constexpr char kUdnDeleted[] =
    "Set-Cookie: udn=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax\r\n"
    "Set-Cookie: udk=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax; HttpOnly\r\n";
constexpr char kCustDeleted[] =
    "Set-Cookie: cust_dic_ids=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax\r\n";
constexpr char kFixedTail[] = "Cache-Control:private,max-age=0\r\nX-XSS-Protection: 0\r\n";

std::string Osp(const std::string& value) {
    return "Set-Cookie: osp=" + value + "; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax\r\n";
}

class OrthdResponseTest : public ::testing::Test {
  protected:
    StringMap map;
    InternalData data;
    std::ostringstream out;

    std::string Write() {
        orthd::Response_FLT(out, [] { return kNow; }).apply(map, data);
        return out.str();
    }
    static std::string Tail(const std::string& body) {
        return std::string(kFixedTail) + kExpiresNow + "\r\n" + body;
    }
};

}  // namespace

TEST_F(OrthdResponseTest, WithoutTypedValuesWritesTheDefaultHeaderSet) {
    map[":template:"] = "<b><#view#></b>";
    map["view"] = "hi";
    EXPECT_EQ(Write(),
              std::string("Content-Type: text/html; charset=UTF-8\r\nContent-Length: 9\r\n") +
                  kUdnDeleted + kCustDeleted + Osp("") + Tail("<b>hi</b>"));
}

TEST_F(OrthdResponseTest, WritesStatusTypeCacheControlAndDictionaryCookies) {
    map[":template:"] = "<x/>";
    map["udn"] = "My Dict";
    map["ud"] = "ignored";
    map["cust_dic_ids"] = "1,2";
    map["osp"] = "0001";
    data.Insert<std::string>(idkey::HttpStatus, "404 Not Found");
    data.Insert(idkey::ResponseContentType, ContentType{ctype::kXml});
    data.Insert<std::string>(idkey::HttpCacheControl, "no-store");
    EXPECT_EQ(
        Write(),
        std::string(
            "Status: 404 Not Found\r\n"
            "Content-Type: text/xml; charset=UTF-8\r\n"
            "Content-Length: 4\r\n"
            "Cache-Control: no-store\r\n"
            "Set-Cookie: udn=My%20Dict; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax\r\n" +
            std::string(kUdkDeleted) +
            "Set-Cookie: ud=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax\r\n"
            "Set-Cookie: cust_dic_ids=1,2; expires=Tue Jan 1 00:00:00 2038 GMT; "
            "SameSite=Lax\r\n") +
            Osp("0001") + Tail("<x/>"));
}

TEST_F(OrthdResponseTest, UserDictionaryCookieRows) {
    const std::string key(64, 'a');
    const std::string named =
        "Set-Cookie: udn=mine; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax\r\n";
    const std::string udDeleted =
        "Set-Cookie: ud=; expires=Tue Jan 1 00:00:00 1980 GMT; SameSite=Lax\r\n";
    const struct {
        const char* udn;
        const char* ud;
        std::string cookies;
        std::string key = "";  // ":udk:"
    } rows[] = {
        {"[/]", "[/]", kUdnDeleted},
        {"", "", kUdnDeleted},
        {"", "\xC3\xA9 a;b%",
         std::string(kUdnDeleted) +
             "Set-Cookie: ud=%C3%A9 a%3Bb%; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax\r\n"},
        // The key goes with its dictionary only, HttpOnly; one not of the engine's form goes.
        {"mine", "",
         named + "Set-Cookie: udk=" + key +
             "; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax; HttpOnly\r\n" + udDeleted,
         key},
        {"mine", "", named + kUdkDeleted + udDeleted, key + "\r\nX: y"},
        {"", "", kUdnDeleted, key},
    };
    for (const auto& row : rows) {
        map = {{":template:", ""},
               {"udn", row.udn},
               {"ud", row.ud},
               {"cust_dic_ids", "[/]"},
               {":udk:", row.key}};
        out.str("");
        EXPECT_EQ(Write(), "Content-Type: text/html; charset=UTF-8\r\nContent-Length: 0\r\n" +
                               row.cookies + kCustDeleted + Osp("") + Tail(""))
            << row.udn << "|" << row.ud;
    }
}

// Cookie values come from the request: no byte of them may end the cookie or the header.
TEST_F(OrthdResponseTest, CookieValuesCannotSplitTheResponse) {
    const struct {
        const char* key;
        const char* value;
        const char* written;
    } rows[] = {
        {"udn", "x\r\nSet-Cookie: admin=1", nullptr},  // breaks the name rule: not written
        {"udn", "a; path=/", "a%3B%20path%3D%2F"},
        {"ud", "\n\x01\x7F\xC3\xA9", "%0A%01%7F%C3%A9"},
        {"cust_dic_ids", "1\r\n\r\n<script>", nullptr},
        {"osp", "0001;\nX: y", nullptr},
    };
    for (const auto& row : rows) {
        map = {{":template:", "B"}, {row.key, row.value}};
        out.str("");
        const std::string answer = Write();
        const std::string headers = answer.substr(0, answer.find("\r\n\r\n"));
        if (row.written != nullptr)
            EXPECT_NE(headers.find(std::string(row.key) + "=" + row.written + "; expires="),
                      std::string::npos)
                << answer;
        else
            EXPECT_EQ(headers.find(std::string(row.key) + "="), std::string::npos) << answer;
        for (size_t i = 0; i < headers.size(); ++i) {
            const bool lineEnd = headers.compare(i, 2, "\r\n") == 0;
            EXPECT_TRUE(lineEnd || (headers[i] != '\r' && headers[i] != '\n'))
                << row.key << " at " << i;
            if (lineEnd) {
                const std::string next = headers.substr(i + 2, headers.find(':', i + 2) - i - 2);
                EXPECT_TRUE(next == "Content-Length" || next == "Set-Cookie" ||
                            next == "Cache-Control" || next == "X-XSS-Protection" ||
                            next == "Expires")
                    << row.key << ": " << next;
                ++i;
            }
        }
    }
}

TEST_F(OrthdResponseTest, CheckCommandWritesOnlyStatusAndBody) {
    map[":template:"] = "Location: <#trg_url#>\n\n";
    map["trg_url"] = "/x";
    map["cmd"] = "check";
    EXPECT_EQ(Write(), "Location: /x\n\n");
    out.str("");
    data.Insert<std::string>(idkey::HttpStatus, "302");
    EXPECT_EQ(Write(), "Status: 302\r\nLocation: /x\n\n");
}

TEST_F(OrthdResponseTest, ReinterpretedRequestGetsItsBodyInTheSingleBytePage) {
    map[":template:"] = "<#view#>";
    map["view"] = "\xC3\xA9\xC5\x91\xE2\x82\xAC\xE4\xB8\xAD!";  // é ő € 中 !
    data.Insert(idkey::InputCodePage, static_cast<short>(0x616D));
    EXPECT_EQ(
        Write(),
        std::string("Content-Type: text/html; charset=windows-1250\r\nContent-Length: 5\r\n") +
            kUdnDeleted + kCustDeleted + Osp("") + Tail("\xE9\xF5\x80w!"));
}

TEST_F(OrthdResponseTest, UnexpandedTemplateReachesTheClientUnchanged) {
    map[":template:"] = "<#view#>";
    data.Insert(idkey::ExpandTemplate, false);
    EXPECT_NE(Write().find("\r\n\r\n<#view#>"), std::string::npos);
}

TEST_F(OrthdResponseTest, NamedPlaceholdersHaveTheirResolvers) {
    map[":template:"] = "<check_spelling><#check_spelling_xml#></check_spelling><#bansys#>";
    data.Insert(idkey::CheckSpellingSuggestions, CheckSpellingSuggestions{{"teh", {"the"}}});
    data.Insert(idkey::CheckSpellingPositions, CheckSpellingPositions{{"teh", {0, 3}}});
    const std::string answer = Write();
    EXPECT_NE(
        answer.find(
            "\r\n\r\n<check_spelling><misspelling><word>teh</word><suggestions><suggestion>the"
            "</suggestion></suggestions></misspelling></check_spelling><script>Rotation = "
            "1;</script>"),
        std::string::npos);
}

// A response that cannot be built still answers: status 500, plain text, the message.
TEST_F(OrthdResponseTest, MalformedTemplateWritesAPlainServerError) {
    map[":template:"] = "<html><#view";
    EXPECT_THROW(Write(), orthd::Response_FLT::Response_FLTException);
    EXPECT_EQ(out.str(),
              "Status: 500\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Length: 35\r\n\r\n"
              "Response::apply() - internal error.");
}

TEST_F(OrthdResponseTest, MistypedValueWritesAPlainServerError) {
    map[":template:"] = "x";
    data.Insert(idkey::HttpStatus, 404);
    EXPECT_THROW(Write(), orthd::Response_FLT::Response_FLTException);
    EXPECT_EQ(out.str().substr(0, 13), "Status: 500\r\n");
}

namespace {

// The error answer as the after-stages write it: Render, ValueEscape_FLT, Response_FLT.
class OrthdErrorAnswerTest : public OrthdResponseTest {
  protected:
    TemplateMap templates;

    std::string Answer(const Error::ErrorMessage& error) {
        data.Insert<std::string>(idkey::ServerName, "Verbarium server");
        data.Insert(idkey::TemplateMap, templates);
        error.Render(map, data);
        orthd::ValueEscape_FLT().apply(map, data);
        return Write();
    }
    void CommandAnswers(const std::string& command, const std::string& contentType) {
        templates.set(command, TemplateInformationRef::make<InlineTemplateInformation>(contentType,
                                                                                       "T", false));
    }
    static std::string Headers(const std::string& type, size_t length) {
        return "Content-Type: " + type + "\r\nContent-Length: " + std::to_string(length) +
               "\r\nCache-Control: no-store, no-cache, must-revalidate, post-check=0, "
               "pre-check=0\r\n" +
               kUdnDeleted + kCustDeleted + Osp("");
    }
};

}  // namespace

TEST_F(OrthdErrorAnswerTest, HtmlCommandAnswersTheXmlErrorDocument) {
    map["cmd"] = "spell";
    map["ferrix_url"] = "/cgi-bin/ferrix.cgi";
    CommandAnswers("spell", ctype::kHtml);
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><?xml-stylesheet type=\"text/xsl\" "
        "href=\"/cgi-bin/ferrix.cgi?cmd=error_conversion\" ?><error><message><![CDATA[The "
        "Verbarium Service is "
        "currently "
        "unavailable.]]></message><critical>1</critical><command>spell</"
        "command><ref><text><![CDATA[]]>"
        "</text><url></url></ref></error>";
    EXPECT_EQ(Answer(Error::CriticalErrorMessage("The Verbarium Service is currently unavailable.",
                                                 "f", 1)),
              Headers(ctype::kXml, body.size()) + Tail(body));
}

TEST_F(OrthdErrorAnswerTest, WebServiceXmlAnswersTheCheckSpellingError) {
    map["cmd"] = "check_spelling";
    map["run_mode"] = "web_service";
    CommandAnswers("check_spelling", ctype::kXml);
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><check_spelling><error><message>"
        "Unsupported API version.</message></error></check_spelling>";
    EXPECT_EQ(Answer(Error::ErrorMessage("Unsupported API version.", "f", 1)),
              Headers(ctype::kXml, body.size()) + Tail(body));
}

TEST_F(OrthdErrorAnswerTest, WebServiceJsonEchoesAHostileValueInertly) {
    map["cmd"] = "check_spelling";
    map["run_mode"] = "web_service";
    CommandAnswers("check_spelling", ctype::kJavaScript);
    const std::string message =
        "Format '" + QuoteRequestValue("x\"});alert(1);//<#:ini_name:#>\\") + "' is not supported.";
    const std::string body =
        "{\"message\": \"Format 'x&quot;});alert(1);//&lt;#:ini_name:#&gt;\\\\' is not "
        "supported.\", "
        "\"command\": \"check_spelling\"}";
    EXPECT_EQ(Answer(Error::ErrorMessage(message, "f", 1)),
              Headers(ctype::kJavaScript, body.size()) + Tail(body));
}

TEST_F(OrthdErrorAnswerTest, ScriptCommandAnswersAnAlert) {
    map["cmd"] = "kwirl_spell";
    CommandAnswers("kwirl_spell", ctype::kJavaScript);
    const std::string body = "alert(\"Verbarium server: Spell check - failed.\");";
    EXPECT_EQ(Answer(Error::ErrorMessage("Spell check - failed.", "f", 1)),
              Headers(ctype::kJavaScript, body.size()) + Tail(body));
}

TEST_F(OrthdErrorAnswerTest, UnknownAnswerTypeGivesPlainTextStatus500) {
    map["cmd"] = "img";
    CommandAnswers("img", "image/gif");
    const std::string body = "Image <failed>.";
    EXPECT_EQ(Answer(Error::ErrorMessage(body, "f", 1)),
              "Status: 500\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Length: 15\r\n"
              "Cache-Control: no-store, no-cache, must-revalidate, post-check=0, pre-check=0\r\n" +
                  std::string(kUdnDeleted) + kCustDeleted + Osp("") + Tail(body));
}

TEST(ValueEscapeTest, EscapesEchoedValuesAndDefaultsProblemId) {
    StringMap map{{"text", "a<b>\r\n\n"},
                  {"word", "f(x)"},
                  {"schema", "%28s%29%2F"},
                  {"view", "<kept>"},
                  {"e_command", "c(1)"}};
    InternalData data;
    orthd::ValueEscape_FLT().apply(map, data);
    EXPECT_EQ(map["text"], "a&lt;b&gt;&#13;&#10;");
    EXPECT_EQ(map["word"], "f&#040;x&#041;");
    EXPECT_EQ(map["schema"], "&#040;s&#041;&#047;");
    EXPECT_EQ(map["e_command"], "c&#040;1&#041;");
    EXPECT_EQ(map["view"], "<kept>");
    EXPECT_EQ(map["problemid"], "0");
    EXPECT_EQ(map.count("orthd_host"), 1u);
    map["problemid"] = "7";
    orthd::ValueEscape_FLT().apply(map, data);
    EXPECT_EQ(map["problemid"], "7");
}

TEST(OutputCodePageTest, ConversionMakesNoMarkupOutOfMalformedBytes) {
    const std::string rows[] = {
        "\xC0\xBC",
        "\xC0\xA2",
        "\xC0\xA7",
        "\xC0\xBE",
        "\xC0\xA6",
        "\xE0\x80\xBC",
        "\xE0\x80\xA2",
        "\xF0\x80\x80\xBC",
        "\xF0\x80\x80\xA2",
        "\xED\xA0\x80\xBC",
        "\xF8\x80\x80\x80\xBC",
    };
    for (const auto& row : rows) {
        const std::string out = Utf8ToInputCodePage("a" + row + "b", 0x616D);
        EXPECT_EQ(out.find_first_of("<>\"'&"), std::string::npos)
            << ::testing::PrintToString(row) << " -> " << ::testing::PrintToString(out);
        EXPECT_EQ(out.size(), row.size() + 2) << ::testing::PrintToString(row);
    }
}

TEST(OutputCodePageTest, ConvertedAnswerNamesItsCodePage) {
    EXPECT_EQ(InputCodePageCharset(0x616D), "windows-1250");
    EXPECT_EQ(RelabelContentType("text/xml; charset=UTF-8", "windows-1250"),
              "text/xml; charset=windows-1250");
    const struct {
        const char* body;
        const char* relabelled;
    } rows[] = {
        {"<html><head><meta charset=\"utf-8\"><title>utf-8</title>",
         "<html><head><meta charset=\"windows-1250\"><title>utf-8</title>"},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1250\">"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><a>utf-8</a>",
         "<?xml version=\"1.0\" encoding=\"windows-1250\"?><a>utf-8</a>"},
        {"<p>charset=utf-8 in the text</p>", "<p>charset=utf-8 in the text</p>"},
        {"<meta name=\"x\">utf-8", "<meta name=\"x\">utf-8"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RelabelDeclaredCharset(row.body, "windows-1250"), row.relabelled) << row.body;
}

TEST_F(OrthdResponseTest, ReinterpretedPageDeclaresTheCodePageItIsWrittenIn) {
    map[":template:"] = "<meta charset=\"utf-8\"><#view#>";
    map["view"] = "caf\xC3\xA9";
    data.Insert(idkey::InputCodePage, static_cast<short>(0x616D));
    const std::string answer = Write();
    EXPECT_NE(answer.find("Content-Type: text/html; charset=windows-1250\r\n"), std::string::npos);
    EXPECT_NE(answer.find("\r\n\r\n<meta charset=\"windows-1250\">caf\xE9"), std::string::npos);
}
