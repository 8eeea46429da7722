#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "ferrix/Response_FLT.h"
#include "kernel/ContentTypes.h"
#include "kernel/ScriptAnswer.h"
#include "utils/InternalDataKeys.h"

namespace {

class FerrixResponseTest : public ::testing::Test {
  protected:
    StringMap map;
    InternalData data;
    std::ostringstream out;

    std::string Write() {
        ferrix::Response_FLT(out).apply(map, data);
        return out.str();
    }
};

}  // namespace

TEST_F(FerrixResponseTest, WithoutTypedValuesWritesTheDefaultHeaders) {
    map[":template:"] = "<p><#view#></p>";
    map["view"] = "a<b";
    data.Insert(idkey::ExpandTemplate, true);  // one of the relay's own templates
    EXPECT_EQ(Write(),
              "Content-Type: text/html; charset=UTF-8\n"
              "Content-Length: 13\n"
              "Expires: Tue Jan 1 00:00:00 1980 GMT;\n"
              "Pragma: No-Cache\n"
              "Cache-Control: No-Cache\n"
              "\n"
              "<p>a&lt;b</p>");
}

TEST_F(FerrixResponseTest, RelaysTheServiceHeadersAndCookiesInOrder) {
    map[":template:"] = "alert(1);";
    map["cmd"] = "check";  // no special case in the relay
    data.Insert(idkey::ResponseContentType, ContentType{ctype::kJavaScript});
    data.Insert<std::string>(idkey::HttpStatus, "503");  // the service's status is relayed
    data.Insert<std::string>(idkey::HttpExpires, "Thu, 01 Jan 2037 00:00:00 GMT");
    data.Insert<std::string>(idkey::HttpPragma, "public");
    data.Insert<std::string>(idkey::HttpCacheControl, "max-age=3600");
    data.Insert(idkey::HttpSetCookies,
                std::vector<std::string>{"udn=d; expires=x;", "osp=0001;\r\nX-Evil: 1"});
    EXPECT_EQ(Write(),
              "Status: 503\n"
              "Content-Type: text/javascript; charset=UTF-8\n"
              "Content-Length: 9\n"
              "Expires: Thu, 01 Jan 2037 00:00:00 GMT\n"
              "Pragma: public\n"
              "Cache-Control: max-age=3600\n"
              "Set-Cookie: udn=d; expires=x;\n"
              "Set-Cookie: osp=0001;X-Evil: 1\n"
              "\n"
              "alert(1);");
}

TEST_F(FerrixResponseTest, MalformedTemplateWritesAPlainServerError) {
    map[":template:"] = "<#(x)#>";
    data.Insert(idkey::ExpandTemplate, true);
    EXPECT_THROW(Write(), ferrix::Response_FLT::Response_FLTException);
    EXPECT_EQ(out.str(),
              "Status: 500\nContent-Type: text/plain; charset=UTF-8\nContent-Length: 35\n\n"
              "Response::apply() - internal error.");
}

// A script file the relay serves is kept by the browser and revalidated by its ETag, like the
// service's own; the relay's pages, error answers and the service's failures are not.
TEST_F(FerrixResponseTest, OnlyServedScriptFilesAreCacheable) {
    const std::string body = "var a = '<#ferrix_url#>';" + std::string(400, ' ');
    const std::string filled = "var a = '/r.cgi';" + std::string(400, ' ');
    const std::string tag = ScriptAnswer::ETagOf(filled);
    const std::string empty;
    const struct {
        const char* why;
        bool expand, failed;
        std::string ifNoneMatch, acceptEncoding, contentType;
        const char* expectedStart;
        const std::string* sentBody;  // not compared when null
    } rows[] = {
        {"plain", false, false, "", "", ctype::kJavaScript, "ETag: ", &filled},
        {"gzip", false, false, "", "gzip", ctype::kJavaScript, "ETag: ", nullptr},
        {"revalidated", false, false, tag, "gzip", ctype::kJavaScript, "Status: 304", &empty},
        {"image, not compressed", false, false, "", "gzip", "image/gif", "ETag: ", &body},
        {"relay page", true, false, "", "gzip", ctype::kJavaScript, "Content-Type", &body},
        {"service failure", false, true, tag, "gzip", ctype::kJavaScript, "Status: 503", &filled},
    };
    for (const auto& row : rows) {
        map.clear();
        data = InternalData();
        out.str("");
        map["cmd"] = "script";
        map["ferrix_url"] = "/r.cgi";
        map[":template:"] = body;
        data.Insert(idkey::ResponseContentType, ContentType{row.contentType});
        if (row.expand) data.Insert(idkey::ExpandTemplate, false);
        if (row.failed) data.Insert<std::string>(idkey::HttpStatus, "503");
        setenv("HTTP_IF_NONE_MATCH", row.ifNoneMatch.c_str(), 1);
        setenv("HTTP_ACCEPT_ENCODING", row.acceptEncoding.c_str(), 1);
        const std::string answer = Write();
        const std::string head = answer.substr(0, answer.find("\n\n"));
        const std::string sent = answer.substr(answer.find("\n\n") + 2);
        EXPECT_EQ(answer.rfind(row.expectedStart, 0), 0u) << row.why << "\n" << answer;
        const bool cacheable = head.find("ETag: ") != std::string::npos;
        EXPECT_EQ(cacheable, !row.expand && !row.failed) << row.why;
        EXPECT_EQ(head.find('\r'), std::string::npos) << row.why;
        EXPECT_EQ(head.find("No-Cache") == std::string::npos, cacheable) << row.why;
        if (row.sentBody) {
            EXPECT_EQ(sent, *row.sentBody) << row.why;
        }
        if (head.find("Content-Encoding: gzip") != std::string::npos) {
            EXPECT_LT(sent.size(), filled.size()) << row.why;
        }
    }
    unsetenv("HTTP_IF_NONE_MATCH");
    unsetenv("HTTP_ACCEPT_ENCODING");
}
