// The relay's forwarding and its own commands, against a scripted service host on loopback.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cmdhandlers/Relay/CheckConfig_CH.h"
#include "cmdhandlers/Relay/EFileNotModified.h"
#include "cmdhandlers/Relay/ErrorConversion_CH.h"
#include "cmdhandlers/Relay/OrthdVersion_CH.h"
#include "cmdhandlers/Relay/ProxyScript_CH.h"
#include "cmdhandlers/Relay/Proxy_CH.h"
#include "cmdhandlers/Relay/ServiceCookie.h"
#include "cmdhandlers/Relay/Version_CH.h"
#include "ferrix/Response_FLT.h"
#include "ferrix/TemplateInit_FLT.h"
#include "ferrix/makeScriptTemplateMap.h"
#include "kernel/ContentType.h"
#include "kernel/filters/TemplateLoad_FLT.h"
#include "support/FakeEngineServer.h"
#include "support/TestSupport.h"
#include "utils/InternalDataKeys.h"

using ferrix::Proxy_CH;
using testsupport::FakeEngineServer;

namespace {

std::string Answer(const std::string& headers, const std::string& body) {
    return "HTTP/1.0 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

class RelayTest : public ::testing::Test {
  protected:
    FakeEngineServer host;
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;

    void SetUp() override {
        ::unsetenv("HTTP_COOKIE");
        ::unsetenv("HTTP_USER_AGENT");
        ::unsetenv("REQUEST_METHOD");
        data.Set<std::string>(idkey::ServiceHost, "127.0.0.1:" + std::to_string(host.port()));
        data.Set<std::string>(idkey::CachePath, dir.str());
        ferrix::TemplateInit_FLT().apply(map, data);
    }
    std::string Body(size_t request = 0) {
        const std::string r = host.requests().at(request);
        return r.substr(r.find("\r\n\r\n") + 4);
    }
    std::string Respond() {
        std::ostringstream out;
        TemplateLoad_FLT().apply(map, data);
        ferrix::Response_FLT(out).apply(map, data);
        return out.str();
    }
    std::string ErrorOf(CommandHandler&& handler) {
        try {
            handler.apply(map, data);
        } catch (const Error::ErrorMessage& e) {
            return e.message();
        }
        return "";
    }
};

}  // namespace

TEST(ProxyEncodingTest, EveryByteOutsideTheUnreservedOnesIsEncoded) {
    struct Case {
        const char* value;
        const char* encoded;
    };
    for (const Case& c : {Case{"a\nb", "a%0Ab"}, Case{"\t", "%09"}, Case{"a+b", "a%2Bb"},
                          Case{"x=y&z", "x%3Dy%26z"}, Case{"50%", "50%25"}, Case{"a b", "a%20b"},
                          Case{"\xC3\xA9", "%C3%A9"}, Case{"Az09-._~", "Az09-._~"}})
        EXPECT_EQ(Proxy_CH::PercentEncode(c.value), c.encoded) << c.value;
}

TEST(ProxyEncodingTest, InternalAndRelayKeysAreNotForwarded) {
    const StringMap map = {{"text", "a+b"},        {"ud", "w"},
                           {"udn", "d"},           {":app_path:", "/x"},
                           {"REQUEST_PATH", "/r"}, {"service_ca_file", "/ca"},
                           {"cmd", "spell"},       {"a key", "1"}};
    EXPECT_EQ(Proxy_CH::FormBody(map), "a%20key=1&cmd=spell&text=a%2Bb");
}

TEST(ProxyEncodingTest, OnlyTheServiceCookiesAreForwarded) {
    struct Case {
        const char* header;
        const char* forwarded;
    };
    for (const Case& c :
         {Case{"SESSIONID=secret; ud=w1; osp=0001", "ud=w1; osp=0001"},
          Case{"aud=x;udn=d ;cust_dic_ids=1,2; LLng=de", "udn=d; cust_dic_ids=1,2; LLng=de"},
          Case{"wp_login=admin", ""}, Case{"", ""}, Case{"ud", ""},
          Case{"udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa; x=1",
               "udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"}})
        EXPECT_EQ(Proxy_CH::ServiceCookies(c.header), c.forwarded) << c.header;
}

TEST(ProxyHeaderTest, StatusCodesBecomeTheirAnswers) {
    struct Case {
        const char* status;
        const char* message;  // empty: no error
        bool critical;
    };
    for (const Case& c : {Case{"200", "", false},
                          Case{"404", "Verbarium service is not found on the service host", true},
                          Case{"405", "Specified path is absent on the service host", true},
                          Case{"302", "Specified path is absent on the service host", true},
                          Case{"500", "Server internal error", true}, Case{"503", "", false},
                          Case{"403", "", false}}) {
        InternalData data;
        std::string message;
        bool critical = false;
        try {
            Proxy_CH::ApplyResponseHeader(std::string("HTTP/1.0 ") + c.status + " X", data);
        } catch (const CommandHandler::criticalException& e) {
            message = e.message();
            critical = true;
        }
        EXPECT_EQ(message, c.message) << c.status;
        EXPECT_EQ(critical, c.critical) << c.status;
        const bool relayed = std::string(c.status) != "200" && !*c.message;
        EXPECT_EQ(data.Find(idkey::HttpStatus), relayed) << c.status;
    }
    InternalData data;
    EXPECT_THROW(Proxy_CH::ApplyResponseHeader("HTTP/1.0 304 Not Modified", data),
                 EFileNotModified);
    try {
        Proxy_CH::ApplyResponseHeader("HTTP/1.0 200 OK\r\nno colon", data);
        ADD_FAILURE();
    } catch (const CommandHandler::exception& e) {
        EXPECT_EQ(e.message(), "Incorrect response header");
    }
}

TEST(ProxyHeaderTest, HeadersReachTheRelaysAnswer) {
    InternalData data;
    Proxy_CH::ApplyResponseHeader(
        "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nSet-Cookie: ud=a\r\nSet-Cookie: osp=1\r\n"
        "Cache-Control: no-cache\r\nExpires: 0\r\nPragma: x",
        data);
    EXPECT_EQ(data.Get<ContentType>(idkey::ResponseContentType).text, "text/xml");
    EXPECT_EQ(data.Get<std::vector<std::string>>(idkey::HttpSetCookies),
              (std::vector<std::string>{"ud=a", "osp=1"}));
    EXPECT_EQ(data.Get<std::string>(idkey::HttpCacheControl), "no-cache");
    EXPECT_EQ(data.Get<std::string>(idkey::HttpExpires), "0");
    EXPECT_EQ(data.Get<std::string>(idkey::HttpPragma), "x");
}

TEST(ProxyHeaderTest, OnlyTheServicesOwnCookiesReachTheBrowser) {
    const struct {
        const char* line;
        const char* relayed;  // nullptr: dropped
    } rows[] = {
        {"udn=mine; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax",
         "udn=mine; expires=Fri Jan 1 00:00:00 2038 GMT; SameSite=Lax"},
        {"udn=; expires=Tue Jan 1 00:00:00 1980 GMT;", "udn=; expires=Tue Jan 1 00:00:00 1980 GMT"},
        {"udn=Caf%C3%A9", "udn=Caf%C3%A9"},
        {"cust_dic_ids=1,2", "cust_dic_ids=1,2"},
        {"LLng=en_US", "LLng=en_US"},
        {"osp=0101; Domain=.customer.example; Path=/", "osp=0101; Path=/"},
        {"osp=0001; domain=customer.example;HttpOnly; Secure", "osp=0001; HttpOnly; Secure"},
        {"osp=0001; X-Evil=1; Max-Age=60", "osp=0001; Max-Age=60"},
        {"session=abc; Path=/", nullptr},
        {"OSP=0001", nullptr},
        {"osp", nullptr},
        {"osp=2", nullptr},
        {"osp=0001 0", nullptr},
        {"udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa; expires=Fri Jan 1 "
         "00:00:00 2038 GMT; SameSite=Lax; HttpOnly",
         "udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa; expires=Fri Jan 1 "
         "00:00:00 2038 GMT; SameSite=Lax; HttpOnly"},
        {"udk=; expires=Tue Jan 1 00:00:00 1980 GMT; HttpOnly",
         "udk=; expires=Tue Jan 1 00:00:00 1980 GMT; HttpOnly"},
        {"udk=AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", nullptr},
        {"udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaag", nullptr},
        {"udn=a%2Cb", nullptr},
        {"udn=a%01b", nullptr},
        {"ud=\x85word", nullptr},
        {"ud=a\"b", nullptr},
        {"LLng=<script>", nullptr},
        {"cust_dic_ids=1;2", "cust_dic_ids=1"},
        {"cust_dic_ids=x", nullptr},
        {"osp=0001; expires=\x9B"
         "1",
         "osp=0001"},
    };
    for (const auto& row : rows) {
        const auto relayed = ServiceCookie::Relayable(row.line);
        EXPECT_EQ(relayed.value_or("(dropped)"), row.relayed ? row.relayed : "(dropped)")
            << row.line;
    }
}

TEST_F(RelayTest, ForwardsTheRequestAndRelaysTheAnswer) {
    host.SetScript({{Answer("Content-Type: text/html; charset=UTF-8\r\nSet-Cookie: osp=0100\r\n",
                            "<p>marked</p>")}});
    ::setenv("HTTP_COOKIE", "site_session=secret; ud=word", 1);
    ::setenv("HTTP_USER_AGENT", "Browser/2", 1);
    ::setenv("REQUEST_METHOD", "GET", 1);
    map["cmd"] = "spell";
    map["text"] = "line\nbreak+plus";
    map["HTTP_OR_HTTPS"] = "https";
    map["HTTP_HOST"] = "customer";
    map["ferrix_method"] = "POST";  // the browser's own word is replaced by the relay's
    map["ud"] = "word";
    map["REQUEST_PATH"] = "http://customer/cgi-bin/ferrix.cgi";
    Proxy_CH().apply(map, data);

    const std::string request = host.requests().at(0);
    const std::string port = std::to_string(host.port());
    EXPECT_EQ(request.rfind(
                  "POST http://127.0.0.1:" + port + "/spellcheck/script/orthd.cgi HTTP/1.0\r\n", 0),
              0u)
        << request;
    EXPECT_NE(request.find("\r\nCookie: ud=word\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Browser/2\r\n"), std::string::npos) << request;
    EXPECT_EQ(Body(),
              "cmd=spell&ferrix_method=GET&ferrix_origin=&ferrix_self=https%3A%2F%2Fcustomer&"
              "ferrix_url=http%3A%2F%2Fcustomer%2Fcgi-bin%2Fferrix.cgi&service_host=http%"
              "3A%2F%2F127.0.0.1%3A" +
                  port + "%2Fspellcheck&settings=ferrix&text=line%0Abreak%2Bplus");
    EXPECT_EQ(map["service_host"], "http://127.0.0.1:" + port + "/spellcheck");
    EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));
    EXPECT_EQ(Respond(),
              "Content-Type: text/html; charset=UTF-8\nContent-Length: 13\n"
              "Expires: Tue Jan 1 00:00:00 1980 GMT;\nPragma: No-Cache\nCache-Control: No-Cache\n"
              "Set-Cookie: osp=0100\n\n<p>marked</p>");
}

TEST_F(RelayTest, ServiceBytesAreNeverRenderedAsTemplates) {
    map[":cookies:"] = "session=HttpOnlySecret";
    map[":app_path:"] = "/srv/relay/cgi-bin/";
    map["view"] = "V";
    map["ferrix_url"] = "/cgi-bin/ferrix.cgi";
    const std::string payloads[] = {
        "<#:cookies:#>",    "<#:app_path:#>", "<#view#>", "<#ferrix_url#>",
        "<#service_host#>", "<#(x)#>",        "<#",       "<#view",
        "#><#:cookies:#",
    };
    for (const auto& payload : payloads) {
        host.SetScript({{Answer("Content-Type: text/html; charset=UTF-8\r\n", "<p>" + payload)}});
        map["cmd"] = "spell";
        Proxy_CH().apply(map, data);
        const std::string answer = Respond();
        EXPECT_EQ(answer.substr(answer.find("\n\n") + 2), "<p>" + payload) << payload;
    }
    // A script file of the service gets the relay's address, and nothing else.
    data.Set(idkey::NoCache, true);
    host.SetScript({{Answer("Content-Type: text/javascript\r\n",
                            "u='<#ferrix_url#>';c='<#:cookies:#>';p='<#:app_path:#>';")}});
    map["cmd"] = "script";
    map["doc"] = "qdr";
    ferrix::ProxyScript_CH().apply(map, data);
    const std::string answer = Respond();
    EXPECT_EQ(answer.substr(answer.find("\n\n") + 2),
              "u='/cgi-bin/ferrix.cgi';c='<#:cookies:#>';p='<#:app_path:#>';");
}

TEST_F(RelayTest, FailuresBecomeTheRelaysCriticalErrors) {
    data.Set<std::string>(idkey::ServiceHost,
                          "127.0.0.1:" + std::to_string(testsupport::UnusedLoopbackPort()));
    EXPECT_EQ(ErrorOf(Proxy_CH()), "Service host is currently unavailable");

    data.Set<std::string>(idkey::ServiceHost, "127.0.0.1:" + std::to_string(host.port()));
    host.SetScript(
        {{"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nab", "c"}, std::chrono::milliseconds(3000)});
    map["service_timeout_ms"] = "200";
    EXPECT_EQ(ErrorOf(Proxy_CH()), "Data receiving error");
}

TEST_F(RelayTest, WithoutServiceHostSettingTheDefaultIsUsed) {
    data.Erase(idkey::ServiceHost);
    try {
        Proxy_CH().apply(map, data);
    } catch (const Error::ErrorMessage&) {
    }
    EXPECT_EQ(map["service_host"],
              std::string("http://") + Proxy_CH::kDefaultServiceHost + "/spellcheck");
}

TEST_F(RelayTest, HttpsIsNotRefused) {
    data.Set<std::string>(idkey::ServiceScheme, "https");
    // The fake host speaks no TLS: the handshake fails, no "not supported" refusal.
    EXPECT_EQ(ErrorOf(Proxy_CH()), "Service host is currently unavailable");
    EXPECT_EQ(map["service_host"],
              "https://127.0.0.1:" + std::to_string(host.port()) + "/spellcheck");
}

TEST_F(RelayTest, CachedImageIsServedByteForByte) {
    const std::string gif = std::string("GIF89a<#view#>\0\xFF<#", 18);
    host.SetScript({{Answer("Content-Type: image/gif\r\n", gif)}});
    map["cmd"] = "script";
    map["doc"] = "image";
    map["img"] = "spin";
    map["view"] = "X";
    ferrix::ProxyScript_CH().apply(map, data);
    const std::string answer = Respond();
    EXPECT_EQ(answer.substr(answer.find("\n\n") + 2), gif);
    EXPECT_NE(answer.find("\nContent-Type: image/gif\n"), std::string::npos);
    EXPECT_EQ(testsupport::ReadFile(dir.str() + "ferrix_cache/image-spin.gif"), gif);
    EXPECT_NE(Body().find("doc=image"), std::string::npos);
}

TEST_F(RelayTest, TheServicesErrorAnswersAreNotCached) {
    // The service's error answer: its own no-cache line, then the line every answer carries.
    host.SetScript(
        {{Answer("Content-Type: text/xml; charset=UTF-8\r\nCache-Control: no-store, "
                 "no-cache\r\nCache-Control:private,max-age=0\r\n",
                 "<error/>")}});
    map["cmd"] = "script";
    map["doc"] = "image";
    map["img"] = "unknown";
    ferrix::ProxyScript_CH().apply(map, data);
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "ferrix_cache/image-unknown.gif"));
    EXPECT_EQ(data.Get<std::string>(idkey::HttpCacheControl),
              "no-store, no-cache, private,max-age=0");
}

TEST_F(RelayTest, ScriptNamesOutsideTheCacheAreUnexpected) {
    map["cmd"] = "script";
    for (const char* doc : {"nothing", "image"}) {
        map["doc"] = doc;
        map["img"] = "../../cgi-bin/x";
        EXPECT_EQ(ErrorOf(ferrix::ProxyScript_CH()), "Requested file name is unexpected") << doc;
    }
    EXPECT_TRUE(host.requests().empty());
}

TEST_F(RelayTest, NoCacheForwardsEveryScriptRequest) {
    data.Set(idkey::NoCache, true);
    host.SetScript({{Answer("Content-Type: text/css\r\n", "b{}")}});
    map["cmd"] = "script";
    map["doc"] = "kwirl_styles";
    for (int i = 0; i < 2; ++i) ferrix::ProxyScript_CH().apply(map, data);
    EXPECT_EQ(host.requests().size(), 2u);
    EXPECT_EQ(map[":template:"], "b{}");
}

TEST_F(RelayTest, ErrorConversionFallsBackToTheBuiltInStylesheet) {
    data.Set<std::string>(idkey::ServiceHost,
                          "127.0.0.1:" + std::to_string(testsupport::UnusedLoopbackPort()));
    map["cmd"] = "error_conversion";
    map["product_website"] = "example.org";
    ferrix::ErrorConversion_CH().apply(map, data);
    EXPECT_EQ(map["cmd"], "error_conversion");
    const std::string answer = Respond();
    EXPECT_EQ(answer.rfind("Content-Type: text/xsl\n", 0), 0u) << answer;
    EXPECT_NE(answer.find("<title>Verbarium: Default Error page</title>"), std::string::npos);
    EXPECT_NE(answer.find("content=\"example.org\""), std::string::npos);
}

TEST_F(RelayTest, ErrorConversionServesTheServicesStylesheet) {
    host.SetScript({{Answer("Content-Type: text/xsl\r\n", "<xsl:stylesheet/>")}});
    map["cmd"] = "error_conversion";
    ferrix::ErrorConversion_CH().apply(map, data);
    EXPECT_NE(Body().find("&cmd=script&"), std::string::npos) << Body();
    EXPECT_NE(Body().find("&doc=error.xsl&"), std::string::npos) << Body();
    EXPECT_NE(Respond().find("\n\n<xsl:stylesheet/>"), std::string::npos);
}

TEST_F(RelayTest, VersionPagesAndCheckConfig) {
    map[":app_name:"] = "ferrix";
    map["cmd"] = "ver";
    ferrix::Version_CH().apply(map, data);
    EXPECT_NE(Respond().find("<td>Program name:</td><td>ferrix</td>"), std::string::npos);

    map["cmd"] = "VER";
    ferrix::Version_CH().apply(map, data);
    EXPECT_NE(Respond().find("Content-Type: text/xml\n"), std::string::npos);
    EXPECT_NE(map[":template:"].find("<script><#:app_name:#></script>"), std::string::npos);

    map["REQUEST_PATH"] = "http://customer/cgi-bin/ferrix.cgi";
    ferrix::CheckConfig_CH().apply(map, data);
    EXPECT_NE(Respond().find("<iframe src=\"/cgi-bin/ferrix.cgi?cmd=orthdver\">"),
              std::string::npos);
}

TEST_F(RelayTest, TheRelaysOwnPagesNameItByPathOnly) {
    const struct {
        const char* requestPath;  // the Host header is in it
        const char* ferrixUrl;    // a parameter
    } rows[] = {
        {"http://customer/cgi-bin/ferrix.cgi", "javascript:alert(1)"},
        {"http://evil.example/cgi-bin/ferrix.cgi", "http://evil.example/x"},
        {"https://evil.example:8443/cgi-bin/ferrix.cgi", ""},
        {"/cgi-bin/ferrix.cgi", "//evil.example/"},
    };
    for (const auto& row : rows) {
        map["REQUEST_PATH"] = row.requestPath;
        map["ferrix_url"] = row.ferrixUrl;
        ferrix::CheckConfig_CH().apply(map, data);
        std::string answer = Respond();
        EXPECT_NE(answer.find("<iframe src=\"/cgi-bin/ferrix.cgi?cmd=ver\">"), std::string::npos)
            << answer;
        EXPECT_EQ(answer.find("evil"), std::string::npos) << answer;

        map["ferrix_url"] = row.ferrixUrl;
        map["cmd"] = "spell";
        Error::ErrorMessage("failed", "f", 1).Render(map, data);
        answer = Respond();
        EXPECT_NE(answer.find("href=\"/cgi-bin/ferrix.cgi?cmd=error_conversion\""),
                  std::string::npos)
            << answer;
        EXPECT_EQ(answer.find("evil"), std::string::npos) << answer;
    }
}

TEST_F(RelayTest, OrthdVersionForwardsTheVersionCommand) {
    host.SetScript({{Answer("", "service version")}});
    map["cmd"] = "orthdver";
    ferrix::OrthdVersion_CH().apply(map, data);
    EXPECT_NE(Body().find("cmd=ver&"), std::string::npos) << Body();
    EXPECT_EQ(map[":template:"], "service version");
}
