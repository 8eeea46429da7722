// Request text reaches every answer escaped for the answer's content type, checked on the
// rendered answer with real parsers: Python's HTML parser and XML parser, and node for script.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "kernel/ContentTypes.h"
#include "orthd/Response_FLT.h"
#include "orthd/ValueEscape_FLT.h"
#include "support/TestSupport.h"
#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"
#include "utils/TextEscapes.h"

namespace {

const std::string kParsers = std::string(VERBARIUM_SOURCE_DIR) + "/tests/orthd/parsers/";

// The payloads of the attack pass and their neighbours.
const std::vector<std::string> kPayloads = {
    "plain words",
    "<script>alert(1)</script>",
    "\"><img src=x onerror=alert(1)>",
    "'onmouseover='alert(1)",
    "</div><b>bold</b>",
    "a\\' + alert(1) + '",
    "\\",
    "x\\\"});alert(1);//",
    "\xE2\x80\xA8line\xE2\x80\xA9separators",
    "]]><x/>",
    "?><x/><?y",
    "&amp; &#60; &lt",
    "tab\tand\nline\rends",
    "ctrl\x01\x1B[31m\x7F",
    "<!-- c --><![CDATA[x]]>",
    "caf\xC3\xA9 \xE4\xB8\xAD",
    "</script><script>alert(1)</script>",
};

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    if (!pipe) return "cannot run " + command;
    std::string out;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, pipe.get())) out.append(buf, n);
    return out;
}

class EscapeByDefaultTest : public ::testing::Test {
  protected:
    // Renders `templ` as the answer of a request that gave `value` to "slang" (a key the HTML
    // escape stage knows), "udn" (one it does not) and "ferrix_url".
    static std::string Render(const std::string& templ, const char* contentType,
                              const std::string& value, bool recorded = true) {
        StringMap map{{":template:", templ}, {"slang", value}, {"udn", value}};
        map["ferrix_url"] = value;
        InternalData data;
        data.Insert(idkey::ResponseContentType, ContentType{contentType});
        if (recorded) {
            RequestValueRecord record;
            for (const char* key : {"slang", "udn", "ferrix_url"}) record.Fill(key, value);
            data.Insert(idkey::RequestValues, record);
        }
        orthd::ValueEscape_FLT().apply(map, data);
        return orthd::Response_FLT::Body(map, data);
    }

    // Runs `checker` over every payload rendered into `templ`; returns its complaints.
    std::string Check(const std::string& checker, const std::string& templ,
                      const char* contentType) {
        std::string cases;
        for (const auto& value : kPayloads)
            cases += "{\"doc\": \"" + JsonStringEscape(Render(templ, contentType, value)) +
                     "\", \"value\": \"" + JsonStringEscape(value) + "\"}\n";
        return RunCommand(checker + " " + dir.Write("cases.jsonl", cases) + " 2>&1");
    }

    testsupport::TempDir dir;
};

}  // namespace

TEST_F(EscapeByDefaultTest, HtmlPageHoldsRequestTextAsTextAndAttributes) {
    EXPECT_EQ(Check("python3 " + kParsers + "check_markup.py html",
                    "<div title=\"<#slang#>\" data-a='<#udn#>'><span><#slang#></span><#udn#></div>",
                    ctype::kHtml),
              "");
}

TEST_F(EscapeByDefaultTest, XmlAnswerHoldsRequestTextAsTextAndAttributes) {
    EXPECT_EQ(Check("python3 " + kParsers + "check_markup.py xml",
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?><?xml-stylesheet type=\"text/xsl\" "
                    "href=\"<#ferrix_url#>?cmd=error_conversion\" ?><o><d n=\"<#udn#>\" "
                    "s='<#slang#>'/><t><#udn#></t></o>",
                    ctype::kXml),
              "");
}

TEST_F(EscapeByDefaultTest, ScriptAnswerHoldsRequestTextInStringLiterals) {
    EXPECT_EQ(Check("node " + kParsers + "check_script.js",
                    "cb({opt: \"1\", dict: \"<#udn#>\", s: '<#slang#>'})", ctype::kJavaScript),
              "");
}

TEST_F(EscapeByDefaultTest, ScriptAnswerDropsACallbackThatIsNoName) {
    StringMap map{{":template:", "<#callback#>({dict: \"x\", s: \"x\"})"},
                  {"callback", "alert(document.domain)//"}};
    InternalData data;
    data.Insert(idkey::ResponseContentType, ContentType{ctype::kJavaScript});
    EXPECT_EQ(orthd::Response_FLT::Body(map, data), "({dict: \"x\", s: \"x\"})");
    map["callback"] = "kwirl.cb[1]";
    EXPECT_EQ(orthd::Response_FLT::Body(map, data), "kwirl.cb[1]({dict: \"x\", s: \"x\"})");
}

TEST_F(EscapeByDefaultTest, TextThatNeedsNoEscapingKeepsItsBytes) {
    const std::string templ = "<p title=\"<#udn#>\"><#slang#></p>";
    for (const char* value : {"plain words", "caf\xC3\xA9", "a-b_c.d:e/f?g=h"})
        EXPECT_EQ(Render(templ, ctype::kHtml, value), Render(templ, ctype::kHtml, value, false));
}

TEST_F(EscapeByDefaultTest, ValuesACommandWroteAreItsOwnMarkup) {
    StringMap map{{":template:", "<#view#>|<#udn#>"}, {"view", "<b>x</b>"}, {"udn", "<i>"}};
    InternalData data;
    RequestValueRecord record;
    record.Fill("view", "<b>request</b>");  // the command replaced it
    record.Fill("udn", "<i>");
    data.Insert(idkey::RequestValues, record);
    EXPECT_EQ(orthd::Response_FLT::Body(map, data), "<b>x</b>|&lt;i&gt;");
}

TEST_F(EscapeByDefaultTest, CheckRedirectStaysOneHeaderLine) {
    StringMap map{{":template:", "Location: <#trg_url#>?result=<#check#>&frameid=<#frameid#>\n\n"},
                  {"cmd", "check"},
                  {"trg_url", "/done"},
                  {"check", "1"},
                  {"frameid", "f1\r\nSet-Cookie: admin=1\r\n\r\n<script>x</script>"}};
    InternalData data;
    RequestValueRecord record;
    record.Fill("frameid", map["frameid"]);
    data.Insert(idkey::RequestValues, record);
    std::ostringstream out;
    orthd::Response_FLT(out, [] { return std::time_t{0}; }).apply(map, data);
    EXPECT_EQ(out.str(),
              "Location: /done?result=1&frameid=f1Set-Cookie: admin=1<script>x</script>\n\n");
    // Without the record (a value some command wrote), the line still cannot be split.
    out.str("");
    data = InternalData();
    orthd::Response_FLT(out, [] { return std::time_t{0}; }).apply(map, data);
    EXPECT_EQ(out.str().find('\r'), std::string::npos);
    EXPECT_EQ(out.str().find('\n'), out.str().size() - 2);
}
