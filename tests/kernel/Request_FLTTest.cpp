#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "kernel/ProcessRequestSource.h"
#include "kernel/filters/Request_FLT.h"
#include "support/TestSupport.h"
#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"
#include "utils/logging/Logger.h"
#include "utils/logging/SimpleLogger.h"

namespace {

class FakeRequestSource final : public RequestSource {
  public:
    std::map<std::string, std::string> env;
    std::string body;
    size_t requested = 0;  // the largest read asked for

    std::optional<std::string> Env(const char* name) const override {
        const auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }
    std::string ReadBody(size_t maxBytes) override {
        requested = std::max(requested, maxBytes);
        return body.substr(0, maxBytes);
    }
};

class RequestFltTest : public ::testing::Test {
  protected:
    void SetUp() override {
        logger = dynamic_cast<SimpleLogger*>(&GetLogger());
        ASSERT_NE(logger, nullptr);
        previousLog = logger->path();
        logger->Init(dir.str() + "debug.log");
        map[":app_path:"] = "/srv/verbarium/";
        map[":ini_name:"] = "orthd.ini";
        map[":cmd_line:"] = "";
    }
    void TearDown() override { logger->Init(previousLog); }

    void Get(const std::string& query) {
        env["REQUEST_METHOD"] = "GET", env["QUERY_STRING"] = query;
    }
    void Post(const std::string& body, const std::string& length) {
        env["REQUEST_METHOD"] = "POST";
        env["CONTENT_LENGTH"] = length;
        postBody = body;
    }
    void Post(const std::string& body) { Post(body, std::to_string(body.size())); }

    void Run() {
        auto source = std::make_unique<FakeRequestSource>();
        source->env = env;
        source->body = postBody;
        const FakeRequestSource* fake = source.get();
        Request_FLT filter(std::move(source));
        // The filter owns the source: read what it was asked for before the filter goes away.
        try {
            filter.apply(map, data);
        } catch (...) {
            requested = fake->requested;
            throw;
        }
        requested = fake->requested;
    }
    std::string Log() const {
        std::error_code ignored;
        return std::filesystem::exists(dir.path() / "debug.log", ignored) ? dir.Read("debug.log")
                                                                          : "";
    }

    testsupport::TempDir dir;
    SimpleLogger* logger = nullptr;
    std::string previousLog;
    std::map<std::string, std::string> env;
    std::string postBody;
    size_t requested = 0;
    StringMap map;
    InternalData data;
};

TEST_F(RequestFltTest, GetQueryBecomesLowerCasedParametersAndTheLastDuplicateWins) {
    Get("Cmd=Spell&a=1&a=2&Text=caf%C3%A9");
    Run();
    EXPECT_EQ(map["cmd"], "Spell");
    EXPECT_EQ(map["a"], "2");
    EXPECT_EQ(map["text"], "caf\xC3\xA9");
    EXPECT_FALSE(data.Find(idkey::InputCodePage));
}

TEST_F(RequestFltTest, MethodIsCaseInsensitive) {
    Get("cmd=x");
    env["REQUEST_METHOD"] = "get";
    Run();
    EXPECT_EQ(map["cmd"], "x");
}

TEST_F(RequestFltTest, PostBodyIsReadUpToContentLength) {
    Post("cmd=spell&text=hello&rest=ignored", "20");
    Run();
    EXPECT_EQ(map["cmd"], "spell");
    EXPECT_EQ(map["text"], "hello");
    EXPECT_EQ(map.count("rest"), 0u);
}

TEST_F(RequestFltTest, NothingToReadLeavesTheMapAsSeeded) {
    const StringMap seeded = map;
    const char* methods[] = {"POST", "GET", "", "HEAD"};
    for (const char* method : methods) {
        env.clear();
        if (*method) env["REQUEST_METHOD"] = method;
        Run();
        EXPECT_EQ(map, seeded) << method;
    }
    Post("", "10");  // body promised but empty
    Run();
    EXPECT_EQ(map, seeded);
}

// A bare request (a monitor, a prefetch) must not make the answer delete the settings cookies.
TEST_F(RequestFltTest, CookiesAreReadWhenTheRequestEndsEarly) {
    const std::function<void()> requests[] = {
        [&] { env["REQUEST_METHOD"] = "GET"; },
        [&] { env["REQUEST_METHOD"] = "POST"; },
        [&] { Post("", "0"); },
        [&] { Post("x", std::to_string(Request_FLT::kMaxBodyBytes + 1)); },
    };
    for (const auto& request : requests) {
        env.clear();
        map.clear();
        request();
        env["HTTP_COOKIE"] = "udn=mine; cust_dic_ids=3,4; osp=1001";
        try {
            Run();
        } catch (const Request_FLT::Request_FLTException&) {
        }
        EXPECT_EQ(map["udn"], "mine");
        EXPECT_EQ(map["cust_dic_ids"], "3,4");
        EXPECT_EQ(map["osp"], "1001");
    }
}

TEST_F(RequestFltTest, CommandLineServesWhenStartedByHand) {
    map[":cmd_line:"] = "cmd=ver&x";
    Run();
    EXPECT_EQ(map["cmd"], "ver");
    EXPECT_EQ(map["x"], "x");
}

TEST_F(RequestFltTest, Latin1ValueReinterpretsEveryRequestValueAsWindows1250) {
    Get("text=caf%E9!&name=%C3%A9&zz=%E9");
    map[":app_path:"] = "/srv/z\xC3\xBCrich/";
    Run();
    EXPECT_EQ(map["text"], "caf\xC3\xA9!");
    EXPECT_EQ(map["name"], "\xC4\x82\xC2\xA9");
    EXPECT_EQ(map["zz"], "\xC3\xA9");
    EXPECT_EQ(map[":app_path:"],
              "/srv/z\xC3\xBCrich/");  // the server's own path is not request text
    EXPECT_EQ(data.Get<short>(idkey::InputCodePage), 0x616D);
    EXPECT_NE(
        Log().find("*ERROR* Invalid utf-8 string detected. Will try to enterpret as locale. file: "
                   "utils/UTFChecker line "),
        std::string::npos)
        << Log();
}

TEST_F(RequestFltTest, WindowsLetterAtTheEndOfAValueIsReinterpreted) {
    const std::pair<const char*, const char*> rows[] = {
        {"t=un%20caf%E9", "un caf\xC3\xA9"},
        {"t=Haus%20Men%FC", "Haus Men\xC3\xBC"},
        {"t=M%FCller", "M\xC3\xBCller"},
        {"t=ab%F0", "ab\xC4\x91"},  // Windows-1250 0xF0 is U+0111
    };
    for (const auto& [query, expected] : rows) {
        map.erase("t");
        data = InternalData();
        Get(query);
        Run();
        EXPECT_EQ(map["t"], expected) << query;
        EXPECT_EQ(data.Get<short>(idkey::InputCodePage), 0x616D) << query;
    }
}

TEST_F(RequestFltTest, FiveByteFormIsLoggedAndKeptButLaterLatin1IsStillConverted) {
    Get("a=%F8%88%80%80%80");
    Run();
    EXPECT_EQ(map["a"], "\xF8\x88\x80\x80\x80");
    EXPECT_NE(Log().find("*ERROR* 4,5 and 6 byte utf-8 charackters are not supportd."),
              std::string::npos);
    EXPECT_FALSE(data.Find(idkey::InputCodePage));

    Get("a=%F8%88%80%80%80&b=%E9t%E9");
    Run();
    EXPECT_EQ(map["b"], "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(data.Get<short>(idkey::InputCodePage), 0x616D);
}

TEST_F(RequestFltTest, ParametersNamingInternalKeysAreDroppedWithOneWarning) {
    Get(":ini_name:=../../etc/passwd&%3Aapp_path%3A=/tmp/&:NEW:=1&cmd=spell");
    Run();
    EXPECT_EQ(map[":ini_name:"], "orthd.ini");
    EXPECT_EQ(map[":app_path:"], "/srv/verbarium/");
    EXPECT_EQ(map.count(":new:"), 0u);
    EXPECT_EQ(map["cmd"], "spell");
    const std::string log = Log();
    const auto first = log.find("*WARNING*");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("*WARNING*", first + 1), std::string::npos) << log;
    EXPECT_NE(log.find("ignored 3 request parameter(s)"), std::string::npos) << log;
}

TEST_F(RequestFltTest, ParametersNamingConfigurationOnlyKeysAreDropped) {
    Get("ACL_FILE_NAME=/etc/shadow&appserver_hostname=evil.example&AppServer_Port=25&include_file=/"
        "x&"
        "service_host=evil&base_dir=/&text=ok");
    Run();
    for (const char* key : {"acl_file_name", "appserver_hostname", "appserver_port", "include_file",
                            "service_host", "base_dir"})
        EXPECT_EQ(map.count(key), 0u) << key;
    EXPECT_EQ(map["text"], "ok");
    EXPECT_NE(Log().find("*WARNING*"), std::string::npos);
}

TEST_F(RequestFltTest, FourByteCharacterPassesAndWindowsLettersAboveF0AreReinterpreted) {
    Get("a=%F0%9F%98%80");
    Run();
    EXPECT_EQ(map["a"], "\xF0\x9F\x98\x80");
    EXPECT_FALSE(data.Find(idkey::InputCodePage));

    Get("text=Gr%FC%DFe");
    Run();
    EXPECT_EQ(map["text"],
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_TRUE(data.Find(idkey::InputCodePage));
}

TEST_F(RequestFltTest, OrdinaryRequestLogsNoWarning) {
    Get("cmd=spell&text=x");
    Run();
    EXPECT_EQ(Log().find("*WARNING*"), std::string::npos);
}

TEST_F(RequestFltTest, BodyOverTheLimitIsRefusedWithoutReading) {
    Post("x", std::to_string(Request_FLT::kMaxBodyBytes + 1));
    try {
        Run();
        FAIL() << "accepted an oversized body";
    } catch (const Request_FLT::Request_FLTException& e) {
        EXPECT_STREQ(e.what(), "Request body too large.");
        EXPECT_EQ(e.file(), "kernel/filters/Request_FLT");
    }
    EXPECT_EQ(requested, 0u);
}

TEST_F(RequestFltTest, HugeAndNegativeLengthsNeverAllocateTheirSize) {
    for (const char* length :
         {"99999999999999999999999", "18446744073709551615", "9223372036854775807"}) {
        Post("cmd=x", length);
        EXPECT_THROW(Run(), Request_FLT::Request_FLTException) << length;
        EXPECT_EQ(requested, 0u);
    }
    for (const char* length : {"-1", "-99999999999999999999", "abc", "0"}) {
        Post("cmd=x", length);
        Run();
        EXPECT_EQ(map.count("cmd"), 0u) << length;
        EXPECT_EQ(requested, 0u);
    }
}

TEST_F(RequestFltTest, BodyLimitCanBeChangedByTheEnvironment) {
    Post("cmd=spell", "9");
    env[Request_FLT::kMaxBodyEnvVar] = "8";
    EXPECT_THROW(Run(), Request_FLT::Request_FLTException);
    env[Request_FLT::kMaxBodyEnvVar] = "9";
    Run();
    EXPECT_EQ(map["cmd"], "spell");
    env[Request_FLT::kMaxBodyEnvVar] = "garbage";  // falls back to the default
    Run();
    EXPECT_EQ(map["cmd"], "spell");
}

TEST_F(RequestFltTest, BodyShorterThanPromisedIsUsedAsItIs) {
    Post("cmd=spell&te", "1000");
    Run();
    EXPECT_EQ(map["cmd"], "spell");
    EXPECT_EQ(map["te"], "te");
}

TEST_F(RequestFltTest, CookiesFollowTheParameters) {
    Get("udn=");
    env["HTTP_COOKIE"] = "ud=%2541; udn=dict; LLng=fr; aud=evil";
    Run();
    EXPECT_EQ(map["ud"], "A");
    EXPECT_EQ(map["udn"], "dict");
    EXPECT_EQ(map["osp"], "0001");
    EXPECT_EQ(map[":lng_pdef:"], "fr");
    EXPECT_EQ(map[":cookies:"], "ud=%2541; udn=dict; LLng=fr; aud=evil");
}

TEST_F(RequestFltTest, RecordsTheValuesTheRequestFilled) {
    Get("udn=&text=caf%E9&trg_url=%2Fx");
    env["HTTP_COOKIE"] = "udn=mine; osp=1001";
    Run();
    const auto& record = data.Get<RequestValueRecord>(idkey::RequestValues);
    EXPECT_TRUE(record.OriginOf("text", "caf\xC3\xA9"));  // as reinterpreted
    EXPECT_TRUE(record.OriginOf("trg_url", "/x"));
    EXPECT_TRUE(record.OriginOf("udn", "mine"));
    EXPECT_TRUE(record.OriginOf("osp", "1001"));
    EXPECT_FALSE(record.OriginOf(":app_path:", map[":app_path:"]));
}

TEST_F(RequestFltTest, RelayUrlOnlyFromTheRelaysOwnRequest) {
    const struct {
        const char* query;
        const char* kept;
    } rows[] = {
        {"settings=ferrix&ferrix_url=https%3A%2F%2Fshop.example%2Fferrix.cgi",
         "https://shop.example/ferrix.cgi"},
        {"settings=ferrix&ferrix_url=%2Fcgi-bin%2Fferrix.cgi", "/cgi-bin/ferrix.cgi"},
        {"ferrix_url=%2Fcgi-bin%2Fferrix.cgi", ""},
        {"settings=ferrix&ferrix_url=%22%3E%3Cscript%3E", ""},
        {"settings=ferrix&ferrix_url=javascript%3Aalert(1)", ""},
        {"settings=ferrix&ferrix_url=%2F%2Fevil.example", ""},
        {"ferrix_url=%2Fcgi-bin%2Fferrix.cgi&settings=ferrix", "/cgi-bin/ferrix.cgi"},
    };
    for (const auto& row : rows) {
        map.erase("ferrix_url");
        Get(row.query);
        Run();
        EXPECT_EQ(map["ferrix_url"], row.kept) << row.query;
    }
}

// A client that closes early: the real source reads what arrived and returns at end of input.
TEST(ProcessRequestSourceTest, ReadsWhatArrivesWhenTheSenderClosesEarly) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "cmd=spell", 9), 9);
    close(fds[1]);
    const int savedStdin = dup(0);
    ASSERT_GE(savedStdin, 0);
    ASSERT_EQ(dup2(fds[0], 0), 0);
    close(fds[0]);

    ProcessRequestSource source;
    const std::string body = source.ReadBody(Request_FLT::kMaxBodyBytes);

    dup2(savedStdin, 0);
    close(savedStdin);
    std::clearerr(stdin);
    EXPECT_EQ(body, "cmd=spell");
}

TEST(ProcessRequestSourceTest, UnsetVariableIsAbsentNotEmpty) {
    ProcessRequestSource source;
    EXPECT_FALSE(source.Env("VERBARIUM_SURELY_UNSET_VARIABLE").has_value());
    setenv("VERBARIUM_TEST_EMPTY_VARIABLE", "", 1);
    EXPECT_EQ(source.Env("VERBARIUM_TEST_EMPTY_VARIABLE"), std::optional<std::string>(""));
    unsetenv("VERBARIUM_TEST_EMPTY_VARIABLE");
}

}  // namespace
