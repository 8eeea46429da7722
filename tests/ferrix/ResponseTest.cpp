#include <gtest/gtest.h>

#include <sstream>

#include "ferrix/Response_FLT.h"
#include "kernel/ContentTypes.h"
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
