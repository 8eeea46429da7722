// The check-as-you-type commands and the web-service API through lighttpd and the real engine
// server; every answer built from hostile words must still parse as what it claims to be.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::FormEncode;
using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::TempDir;

namespace {

using Query = std::vector<std::pair<std::string, std::string>>;
constexpr char kAllowedOrigin[] = "https://pages.example";

bool Installed(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `checker` on the body written to a file; true when it accepts it.
bool Accepts(const std::string& checker, const std::string& body, const std::string& name) {
    const TempDir dir;
    const std::string file = dir.Write(name, body);
    return std::system((checker + " '" + file + "' >/dev/null 2>&1").c_str()) == 0;
}

bool ParsesAsXml(const std::string& body) {
    if (Installed("xmllint")) return Accepts("xmllint --noout", body, "answer.xml");
    return Accepts("python3 -c 'import sys,xml.dom.minidom as m; m.parse(sys.argv[1])'", body,
                   "answer.xml");
}

// Runs each script answer in an empty context where every name the answers call exists and
// prints the files that do not parse or run an injected alert(1) / alert(document.cookie) (the
// error answer's own alert gets a message text).
constexpr char kScriptHarness[] = R"(
const vm = require('vm');
const fs = require('fs');
for (const file of process.argv.slice(2)) {
  let injected = false;
  const any = new Proxy(function () {}, { get: () => any, apply: () => any });
  const context = { kwirl: any, cb: any, dojo: any, document: { cookie: 'COOKIE' },
                    alert: (x) => { if (x === 1 || x === 'COOKIE') injected = true; } };
  try { vm.runInNewContext(fs.readFileSync(file, 'utf8'), context); } catch (e) { injected = true; }
  if (injected) console.log(file);
}
)";

// The script answers that fail to parse or run injected script, checked by one node process;
// without node, those that fail a strict look at what could end a string or a script element.
std::vector<std::string> UnsafeScripts(const std::vector<std::string>& bodies) {
    std::vector<std::string> unsafe;
    if (!Installed("node")) {
        for (const std::string& body : bodies)
            if (body.find("</") != std::string::npos || body.find('\n') != body.rfind('\n'))
                unsafe.push_back(body);
        return unsafe;
    }
    const TempDir dir;
    std::string command = "node '" + dir.Write("harness.js", kScriptHarness) + "'";
    for (size_t i = 0; i < bodies.size(); ++i)
        command += " '" + dir.Write(std::to_string(i) + ".js", bodies[i]) + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return bodies;
    std::string listed;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) listed.append(buffer, n);
    ::pclose(pipe);
    for (size_t i = 0; i < bodies.size(); ++i)
        if (listed.find("/" + std::to_string(i) + ".js\n") != std::string::npos)
            unsafe.push_back(bodies[i]);
    return unsafe;
}

bool IsInertScript(const std::string& body) { return UnsafeScripts({body}).empty(); }

class TypingEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<LiveService>();
        if (!service->problem.empty()) return;
        std::ofstream ini(service->tree() + "/cgi-bin/orthd.ini", std::ios::app);
        ini << "\ncors_allow_origins=" << kAllowedOrigin << " https://other.example\n";
    }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }

    static HttpResponse Get(const Query& query,
                            const std::map<std::string, std::string>& headers = {}) {
        return HttpRequest(service->webPort(), "GET", "/cgi-bin/orthd.cgi?" + FormEncode(query), "",
                           headers);
    }
    static HttpResponse Post(const Query& query,
                             const std::map<std::string, std::string>& headers = {}) {
        return HttpRequest(service->webPort(), "POST", "/cgi-bin/orthd.cgi", FormEncode(query),
                           headers);
    }

    static std::unique_ptr<LiveService> service;
};
std::unique_ptr<LiveService> TypingEndToEndTest::service;

}  // namespace

TEST_F(TypingEndToEndTest, ScListsMisspeltAndCorrectWords) {
    const auto answer =
        Get({{"cmd", "sc"}, {"v", "2.1"}, {"c", "cb"}, {"slang", "en_US"}, {"words", "teh,is"}});
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers.at("content-type"), "text/javascript; charset=UTF-8");
    EXPECT_EQ(answer.body.rfind("cb({\"incorrect\": [[\"teh\",[", 0), 0u) << answer.body;
    EXPECT_NE(answer.body.find("\"the\""), std::string::npos) << answer.body;
    EXPECT_NE(answer.body.find("\"correct\": [\"is\"]"), std::string::npos) << answer.body;
    EXPECT_TRUE(IsInertScript(answer.body)) << answer.body;
}

TEST_F(TypingEndToEndTest, KwirlSuggestAnswersInBothFormats) {
    const Query query = {
        {"cmd", "kwirl_suggest"}, {"slang", "en_US"}, {"sug_len", "3"}, {"text", "recieve,word"}};
    Query json = query;
    json.insert(json.end(), {{"format", "json"}, {"callback", "kwirl.sugg"}});
    const auto script = Get(json);
    EXPECT_EQ(script.body.rfind("kwirl.sugg([[\"recieve\",[\"", 0), 0u) << script.body;
    EXPECT_NE(script.body.find("\"receive\""), std::string::npos) << script.body;
    EXPECT_NE(script.body.find("],[\"word\"])"), std::string::npos) << script.body;
    EXPECT_TRUE(IsInertScript(script.body)) << script.body;

    const auto xml = Get(query);
    EXPECT_EQ(xml.headers.at("content-type"), "text/xml; charset=UTF-8");
    EXPECT_NE(xml.body.find("<word id=\"recieve\" suggestions=\"receive"), std::string::npos)
        << xml.body;
    EXPECT_NE(xml.body.find("<correctWords><word id=\"word\"/></correctWords>"), std::string::npos)
        << xml.body;
    EXPECT_TRUE(ParsesAsXml(xml.body)) << xml.body;
}

TEST_F(TypingEndToEndTest, AddedWordIsAcceptedByTheNextCheck) {
    const Query sc = {{"cmd", "sc"}, {"v", "2.1"}, {"slang", "en_US"}, {"words", "Verbarix"}};
    EXPECT_NE(Get(sc).body.find("\"incorrect\": [[\"Verbarix\""), std::string::npos);
    const auto added = Post({{"cmd", "kwirl_add_word"},
                             {"text", "Verbarix"},
                             {"slang", "en_US"},
                             {"format", "json"},
                             {"callback", "cb"}});
    EXPECT_EQ(added.body, "cb({\"words\":[{\"id\":\"Verbarix\"}]})");
    EXPECT_NE(added.setCookies.find("ud=Verbarix;"), std::string::npos) << added.setCookies;
    const auto after = Get(sc, {{"Cookie", "ud=Verbarix"}});
    EXPECT_NE(after.body.find("\"correct\": [\"Verbarix\"]"), std::string::npos) << after.body;
}

TEST_F(TypingEndToEndTest, CheckSpellingAnswersInBothFormats) {
    const Query query = {{"cmd", "check_spelling"},
                         {"version", "1.0"},
                         {"slang", "en_US"},
                         {"run_mode", "web_service"},
                         {"text", "teh cat teh"}};
    const auto xml = Get(query);
    EXPECT_EQ(xml.headers.at("content-type"), "text/xml; charset=UTF-8");
    EXPECT_NE(xml.body.find("<check_spelling><misspelling><word>teh</word><suggestions>"
                            "<suggestion>"),
              std::string::npos)
        << xml.body;
    EXPECT_TRUE(ParsesAsXml(xml.body)) << xml.body;

    Query positions = query;
    positions.insert(positions.end(),
                     {{"format", "json"}, {"callback", "cb"}, {"out_type", "positions"}});
    const auto json = Get(positions);
    EXPECT_EQ(json.body.rfind("cb([{\"position\": 0, \"length\": 3, \"suggestions\": [\"", 0), 0u)
        << json.body;
    EXPECT_NE(json.body.find("{\"position\": 8, \"length\": 3,"), std::string::npos) << json.body;
    EXPECT_TRUE(IsInertScript(json.body)) << json.body;

    Query badCallback = query;
    badCallback.insert(badCallback.end(), {{"format", "json"}, {"callback", "alert(1)//"}});
    EXPECT_EQ(Get(badCallback).body,
              "{\"message\": \"Invalid callback name.\", \"command\": \"check_spelling\"}");
}

TEST_F(TypingEndToEndTest, HostileWordsAndCallbacksCannotBreakOut) {
    const std::string words = "x\"]);alert(1);//,</script>,<word id=\"a\"/>,x'}]});alert(1)//";
    const struct {
        Query query;
        bool xml;
    } rows[] = {
        {{{"cmd", "sc"}, {"v", "2.1"}, {"words", words}}, false},
        {{{"cmd", "sc"}, {"v", "2.1"}, {"c", "alert(document.cookie)//"}, {"words", "x"}}, false},
        {{{"cmd", "spellcheck"}, {"callback", "</script><script>alert(1)//dojoIoScript2."}}, false},
        {{{"cmd", "spellcheck"},
          {"callback", "dojo.io.script.jsonp_dojoIoScript2._jsonpCallback"},
          {"words", words}},
         false},
        {{{"cmd", "kwirl_suggest"}, {"format", "json"}, {"callback", "cb"}, {"text", words}},
         false},
        {{{"cmd", "kwirl_suggest"}, {"text", words}}, true},
        {{{"cmd", "kwirl_add_word"}, {"format", "json"}, {"callback", "cb"}, {"text", words}},
         false},
        {{{"cmd", "kwirl_add_word"}, {"text", "<addword name=\"a\"/>&"}}, true},
        {{{"cmd", "kwirl_spelltext"}, {"format", "json"}, {"callback", "cb"}, {"text", words}},
         false},
        {{{"cmd", "kwirl_spelltext"}, {"text", words + "]]>"}}, true},
        {{{"cmd", "kwirl_spell"}, {"format", "json"}, {"callback", "cb"}, {"text", words}}, false},
        {{{"cmd", "kwirl_spell"}, {"text", words}}, true},
        {{{"cmd", "check_spelling"}, {"version", "1.0"}, {"text", words}}, true},
        {{{"cmd", "check_spelling"},
          {"version", "1.0"},
          {"out_type", "positions"},
          {"text", words}},
         true},
        {{{"cmd", "check_spelling"},
          {"version", "1.0"},
          {"format", "json"},
          {"callback", "cb"},
          {"text", words}},
         false},
        {{{"cmd", "get_opt"}, {"format", "json"}, {"callback", "alert(1)//"}}, false},
        {{{"cmd", "kwirl_suggest"}, {"format", "json"}, {"callback", "alert(1)//"}, {"text", "x"}},
         false},
    };
    std::vector<std::string> scripts;
    for (const auto& row : rows) {
        Query query = row.query;
        query.emplace_back("slang", "en_US");
        const auto answer = Post(query);
        SCOPED_TRACE(FormEncode(query) + "\n" + answer.body);
        EXPECT_EQ(answer.status, 200);
        // kwirl_spelltext's XML answer gives the editor its own HTML back, inside CDATA.
        if (answer.body.find("<![CDATA[") == std::string::npos) {
            EXPECT_EQ(answer.body.find("<word id=\"a\"/>"), std::string::npos);
            EXPECT_EQ(answer.body.find("</script>"), std::string::npos);
        }
        if (row.xml)
            EXPECT_TRUE(ParsesAsXml(answer.body));
        else
            scripts.push_back(answer.body);
    }
    EXPECT_EQ(UnsafeScripts(scripts), std::vector<std::string>());
}

TEST_F(TypingEndToEndTest, ListedOriginsMayReadTheAnswers) {
    const Query query = {{"cmd", "api_version"}, {"format", "json"}, {"run_mode", "web_service"}};
    const auto listed = Get(query, {{"Origin", kAllowedOrigin}});
    EXPECT_EQ(listed.body, "{\"version\": \"1.0\"}");
    EXPECT_EQ(listed.headers.at("access-control-allow-origin"), kAllowedOrigin);
    EXPECT_EQ(listed.headers.at("vary"), "Origin");
    const auto other = Get(query, {{"Origin", "https://evil.example"}});
    EXPECT_EQ(other.headers.count("access-control-allow-origin"), 0u);
    const auto badFormat =
        Get({{"cmd", "check_spelling"}, {"format", "html"}, {"run_mode", "web_service"}},
            {{"Origin", kAllowedOrigin}});
    EXPECT_EQ(badFormat.headers.at("access-control-allow-origin"), kAllowedOrigin);
    const auto spellcheck = Get({{"cmd", "kwirl_suggest"}, {"text", "teh"}, {"slang", "en_US"}},
                                {{"Origin", kAllowedOrigin}});
    EXPECT_EQ(spellcheck.headers.at("access-control-allow-origin"), kAllowedOrigin);
}
