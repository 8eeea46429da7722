// The JSON answers through lighttpd's FastCGI and the real engine server: every answer labelled
// JSON parses with a strict parser (Python's json), the legacy commands' JSONP answers being a
// call whose arguments are JSON; and /v2/check answers as LanguageTool's clients read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::FormEncode;
using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::TempDir;

namespace {

using Query = std::vector<std::pair<std::string, std::string>>;
using nlohmann::json;

// A JSONP answer "cb(a, b)" as the JSON array "[a, b]"; any other body as it is.
std::string JsonOf(const std::string& body) {
    if (body.rfind("cb(", 0) == 0 && !body.empty() && body.back() == ')')
        return "[" + body.substr(3, body.size() - 4) + "]";
    return body;
}

// The indexes of the bodies Python's json refuses (strict: no NaN, no trailing data).
std::vector<size_t> RefusedByPython(const std::vector<std::string>& bodies) {
    const TempDir dir;
    std::string command =
        "python3 -c 'import json,sys\n"
        "def no(x): raise ValueError(x)\n"
        "for i, f in enumerate(sys.argv[1:]):\n"
        "    try: json.loads(open(f, encoding=\"utf-8\").read(), parse_constant=no)\n"
        "    except Exception: print(i)'";
    for (size_t i = 0; i < bodies.size(); ++i)
        command += " '" + dir.Write(std::to_string(i) + ".json", JsonOf(bodies[i])) + "'";
    std::vector<size_t> refused;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {bodies.size()};
    unsigned long index = 0;
    while (std::fscanf(pipe, "%lu", &index) == 1) refused.push_back(index);
    if (::pclose(pipe) != 0) refused.push_back(bodies.size());
    return refused;
}

class JsonApiEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<LiveService>(LiveService::WebServer::LighttpdFastCgi);
    }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }
    static HttpResponse Get(const std::string& path, const Query& query) {
        return HttpRequest(service->webPort(), "GET", path + "?" + FormEncode(query));
    }
    static HttpResponse Post(const std::string& path, const Query& query) {
        return HttpRequest(service->webPort(), "POST", path, FormEncode(query),
                           {{"Content-Type", "application/x-www-form-urlencoded"}});
    }

    static std::unique_ptr<LiveService> service;
};
std::unique_ptr<LiveService> JsonApiEndToEndTest::service;

constexpr char kCgi[] = "/cgi-bin/orthd.cgi";
constexpr char kHostile[] = "te\"h</script>\\ \xE2\x80\xA8 'x' \xF0\x9F\x98\x80wrod";

struct JsonRow {
    std::string path;
    Query query;
};

}  // namespace

TEST_F(JsonApiEndToEndTest, EveryJsonAnswerParsesStrictly) {
    const Query ws = {{"cmd", "check_spelling"},
                      {"version", "1.0"},
                      {"slang", "en_US"},
                      {"format", "json"},
                      {"text", kHostile}};
    auto with = [](Query query, const Query& more) {
        query.insert(query.end(), more.begin(), more.end());
        return query;
    };
    const std::vector<JsonRow> rows = {
        {kCgi, ws},
        {kCgi, with(ws, {{"out_type", "positions"}})},
        {kCgi, with(ws, {{"callback", "cb"}})},
        {kCgi, with(ws, {{"run_mode", "web_service"}, {"out_type", "bad"}})},
        {kCgi, {{"cmd", "check_spelling"}, {"run_mode", "web_service"}, {"format", "json"}}},
        {kCgi, {{"cmd", "api_version"}, {"format", "json"}}},
        {kCgi, {{"cmd", "api_version"}, {"format", "json"}, {"callback", "cb"}}},
        {kCgi, {{"cmd", "get_opt"}, {"format", "json"}, {"osp", "<b>\"'"}}},
        {kCgi, {{"cmd", "get_opt"}, {"format", "json"}, {"callback", "cb"}}},
        {kCgi, {{"cmd", "get_lang_list"}, {"callback", "cb"}}},
        {kCgi, {{"cmd", "dictionary"}, {"format", "json"}, {"action", "getname"}}},
        {kCgi,
         {{"cmd", "dictionary"},
          {"format", "json"},
          {"action", "addword"},
          {"word", kHostile},
          {"callback", "cb"}}},
        {kCgi,
         {{"cmd", "dictionary"},
          {"format", "json"},
          {"action", "rename"},
          {"udn", "x"},
          {"dname", "x"}}},
        {kCgi,
         {{"cmd", "kwirl_spell"},
          {"format", "json"},
          {"slang", "en_US"},
          {"text", kHostile},
          {"callback", "cb"}}},
        {kCgi,
         {{"cmd", "kwirl_suggest"},
          {"format", "json"},
          {"slang", "en_US"},
          {"sug_len", "3"},
          {"text", "recieve,word,te\"h"},
          {"callback", "cb"}}},
        {kCgi,
         {{"cmd", "kwirl_add_word"}, {"format", "json"}, {"word", kHostile}, {"callback", "cb"}}},
        {kCgi,
         {{"cmd", "kwirl_spelltext"},
          {"format", "json"},
          {"slang", "en_US"},
          {"text", kHostile},
          {"callback", "cb"}}},
        {kCgi,
         {{"cmd", "sc"},
          {"v", "2.1"},
          {"c", "cb"},
          {"slang", "en_US"},
          {"verlang", "1"},
          {"words", "teh,is,te\"h"}}},
        {"/v2/check", {{"language", "en-US"}, {"text", kHostile}}},
        {"/v2/check", {{"language", "auto"}, {"text", "This is a sentence in English."}}},
        {"/v2/languages", {}},
    };
    std::vector<std::string> bodies;
    for (const JsonRow& row : rows) bodies.push_back(Get(row.path, row.query).body);
    for (size_t index : RefusedByPython(bodies))
        ADD_FAILURE() << "row " << index << ": "
                      << (index < bodies.size() ? bodies[index] : "python3 failed");
}

namespace {

// 20 paragraphs each of English, German and French prose that Debian ships: coreutils' help
// texts (the English originals and their translations), lines of option columns left out.
// "LANG<TAB>paragraph" lines; empty when the catalogues are not installed.
constexpr char kParagraphScript[] = R"(
import gettext, re
def catalog(lang):
    with open("/usr/share/locale/%s/LC_MESSAGES/coreutils.mo" % lang, "rb") as f:
        return gettext.GNUTranslations(f)._catalog
def clean(s):
    lines = [l for l in s.split("\n") if not re.match(r"^\s*-", l)]
    return re.sub(r"\s+", " ", " ".join(lines)).strip()
de, fr = catalog("de"), catalog("fr")
count = 0
for msgid in sorted(k for k in de if isinstance(k, str) and k in fr):
    texts = {"en": clean(msgid), "de": clean(de[msgid]), "fr": clean(fr[msgid])}
    if all(len(t) >= 200 and len(t.split()) >= 30 for t in texts.values()):
        for lang, text in texts.items(): print(lang + "\t" + text)
        count += 1
    if count == 20: break
)";

std::vector<std::pair<std::string, std::string>> DebianParagraphs() {
    const TempDir dir;
    const std::string command = "python3 '" + dir.Write("paragraphs.py", kParagraphScript) + "'";
    std::vector<std::pair<std::string, std::string>> out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    ::pclose(pipe);
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (const size_t tab = line.find('\t'); tab != std::string::npos)
            out.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return out;
}

}  // namespace

TEST_F(JsonApiEndToEndTest, DetectsTheLanguageOfDebianParagraphs) {
    const auto paragraphs = DebianParagraphs();
    if (paragraphs.size() < 60) GTEST_SKIP() << "coreutils' German and French catalogues missing";
    std::map<std::string, std::map<std::string, int>> confusion;
    int right = 0;
    for (const auto& [language, text] : paragraphs) {
        const HttpResponse answer = Post("/v2/check", {{"language", "auto"}, {"text", text}});
        const json parsed = json::parse(answer.body, nullptr, false);
        std::string detected = "(" + std::to_string(answer.status) + ")";
        if (parsed.is_object()) detected = parsed["language"]["detectedLanguage"]["code"];
        const std::string bare = detected.substr(0, detected.find('-'));
        ++confusion[language][bare];
        if (bare == language) ++right;
    }
    std::string table = "language detection, rows: the paragraph's language, columns: detected\n";
    for (const auto& [language, row] : confusion) {
        table += language + ":";
        for (const auto& [detected, count] : row)
            table += " " + detected + "=" + std::to_string(count);
        table += "\n";
    }
    std::printf("%s%d of %zu right\n", table.c_str(), right, paragraphs.size());
    EXPECT_GE(right * 100, static_cast<int>(paragraphs.size()) * 95) << table;
}

TEST_F(JsonApiEndToEndTest, CheckAnswersAndFailures) {
    struct Row {
        std::string method;
        std::string path;
        Query query;
        int status;
        std::string expected;  // in the body
    };
    const std::string big(1024 * 1024 + 1, 'a');  // the text limit, exceeded
    const std::vector<Row> rows = {
        {"GET",
         "/v2/check",
         {{"language", "en-US"}, {"text", "\xF0\x9F\x98\x80 I recieve a apple."}},
         200,
         "\"length\":7,\"message\":\"Possible spelling mistake found.\",\"offset\":5"},
        {"POST",
         "/v2/check",
         {{"language", "en-US"},
          {"text", "I recieve a apple."},
          {"disabledRules", "SPELLING_RULE"}},
         200,
         "GRAMMAR_RULE_2"},
        {"POST",
         "/v2/check",
         {{"language", "en-US"}, {"text", "I recieve a apple."}, {"disabledCategories", "GRAMMAR"}},
         200,
         "SPELLING_RULE"},
        {"POST",
         "/v2/check",
         {{"language", "en-US"},
          {"data", "{\"annotation\":[{\"markup\":\"<b>\"},{\"text\":\"Teh\"}]}"}},
         200,
         "\"length\":3,\"message\":\"Possible spelling mistake found.\",\"offset\":3"},
        {"POST", "/v2/check", {{"text", "x"}}, 400, "Missing 'language' parameter"},
        {"POST", "/v2/check", {{"language", "en-US"}}, 200, "\"matches\":[]"},
        {"POST",
         "/v2/check",
         {{"language", "xx-YY"}, {"text", "x"}},
         400,
         "Language is not supported"},
        {"POST",
         "/v2/check",
         {{"language", "en-US"}, {"data", "[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]]"}},
         400,
         "Invalid 'data' parameter"},
        {"POST", "/v2/check", {{"language", "en-US"}, {"text", big}}, 413, "exceeds the limit"},
        {"GET", "/v2/nothing", {}, 404, "Not found"},
        {"GET", "/v2/languages", {}, 200, "\"longCode\":\"en-US\""},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const HttpResponse answer =
            row.method == "GET" ? Get(row.path, row.query) : Post(row.path, row.query);
        EXPECT_EQ(answer.status, row.status) << "row " << i << ": " << answer.body;
        EXPECT_NE(answer.body.find(row.expected), std::string::npos)
            << "row " << i << ": " << answer.body;
        const std::string type =
            answer.headers.count("content-type") ? answer.headers.at("content-type") : "";
        EXPECT_EQ(type.rfind(row.status == 200 ? "application/json" : "text/plain", 0), 0u)
            << "row " << i << ": " << type;
    }
}

TEST_F(JsonApiEndToEndTest, EngineDownIsServiceUnavailable) {
    // Last: the engine server does not come back for the suite's other tests.
    service->StopEngine();
    const HttpResponse answer = Post("/v2/check", {{"language", "en-US"}, {"text", "Teh"}});
    EXPECT_EQ(answer.status, 503) << answer.body;
    EXPECT_EQ(answer.body, "The Verbarium Service is currently unavailable.");
}
