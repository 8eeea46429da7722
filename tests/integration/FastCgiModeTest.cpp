// orthd.cgi as a persistent FastCGI server answers byte for byte as the CGI program does, and no
// request sees anything of the one before it (one worker serves every request here).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <thread>

#include "support/CgiProcess.h"
#include "support/FakeEngineServer.h"
#include "support/FastCgiClient.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::ChildProcess;
using testsupport::FastCgiRequest;
using testsupport::LiveService;
using testsupport::UrlEncode;

namespace {

using Env = std::map<std::string, std::string>;

struct Request {
    const char* name;
    Env env;
    std::string body;
};

Env BaseEnv(const std::string& method) {
    return {{"REQUEST_METHOD", method},
            {"REMOTE_ADDR", "127.0.0.1"},
            {"HTTP_HOST", "localhost"},
            {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"},
            {"HTTP_USER_AGENT", "Mozilla/5.0"}};
}

Request Get(const char* name, const std::string& query, Env extra = {}) {
    Env env = BaseEnv("GET");
    env["QUERY_STRING"] = query;
    for (auto& [name, value] : extra) env[name] = value;
    return {name, env, ""};
}

Request Post(const char* name, const std::string& body, Env extra = {}) {
    Env env = BaseEnv("POST");
    env["CONTENT_LENGTH"] = std::to_string(body.size());
    env["CONTENT_TYPE"] = "application/x-www-form-urlencoded";
    for (auto& [name, value] : extra) env[name] = value;
    return {name, env, body};
}

// The only part of an answer that may differ between two runs is the clock.
std::string WithoutDates(const std::string& answer) {
    static const std::regex date("(Expires:)[^\r\n]*");
    return std::regex_replace(answer, date, "$1<date>");
}

class FastCgiModeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<LiveService>();
        if (!service->problem.empty()) return;
        port = testsupport::UnusedLoopbackPort();
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{Program(), "--fastcgi", "127.0.0.1:" + std::to_string(port),
                                     "--workers", "1"},
            service->tree() + "/srv/logs/fastcgi.out");
        for (int i = 0; i < 200 && !FastCgiRequest(port, BaseEnv("GET")).completed; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    static void TearDownTestSuite() {
        server.reset();
        service.reset();
    }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }

    static std::string Program() { return service->tree() + "/cgi-bin/orthd.cgi"; }
    static std::string Cgi(const Request& r) {
        // In the program's folder, as web servers start CGI programs. The first suggestion of a
        // cold engine reads the word tiers: seconds in a sanitizer build on a busy machine.
        return WithoutDates(
            testsupport::RunCgi(Program(), r.env, r.body, 60000, service->tree() + "/cgi-bin")
                .output);
    }
    static std::string FastCgi(const Request& r) {
        const auto result = FastCgiRequest(port, r.env, r.body);
        EXPECT_TRUE(result.completed) << r.name;
        return WithoutDates(result.output);
    }
    static void ExpectSameAnswers(const std::vector<Request>& requests) {
        for (const auto& r : requests) {
            const std::string cgi = Cgi(r);
            EXPECT_FALSE(cgi.empty()) << r.name;
            EXPECT_EQ(FastCgi(r), cgi) << r.name;
        }
    }

    static inline std::unique_ptr<LiveService> service;
    static inline std::unique_ptr<ChildProcess> server;
    static inline unsigned short port = 0;
};

std::string Spell(const std::string& language, const std::string& text) {
    return "cmd=spell&slang=" + language + "&text=" + UrlEncode(text);
}

}  // namespace

TEST_F(FastCgiModeTest, AnswersAreTheCgiAnswersByteForByte) {
    ExpectSameAnswers({
        Get("spell by GET", Spell("en_US", "This sentense is fine.")),
        Post("spell by POST", Spell("en_US", "<b>Bold</b> wrod <svg onload=alert(1)")),
        Get("suggest", "cmd=suggest&slang=en_US&word=recieve"),
        Post("suggest all", "cmd=spellsuggestall&slang=en_US&text=" + UrlEncode("teh wrod")),
        Post("check redirect", "cmd=check&slang=en_US&frameid=f1&trg_url=/r.html&text=wrod"),
        Post("code page", "cmd=spell&slang=de_DE&text=Gr%FC%DFe%20Wrold"),
        Get("script document", "doc=kwirl"),
        Get("unknown command", "cmd=no_such_command"),
        Get("no parameters", ""),
        Post("body shorter than its length", "cmd=spell", {{"CONTENT_LENGTH", "4000"}}),
    });
}

TEST_F(FastCgiModeTest, InterleavedRequestsSeeOnlyTheirOwnCookiesAndLanguage) {
    const auto withWords = Post("user words", Spell("en_US", "Verbarium wrod"),
                                {{"HTTP_COOKIE", "ud=Verbarium; osp=1"}});
    const auto plain = Post("no cookie", Spell("en_US", "Verbarium wrod"));
    const auto french =
        Post("other language", Spell("fr_FR", "Bonjour mondee"), {{"HTTP_COOKIE", "udn=team"}});
    const auto german = Get("interface language", "cmd=spell&slang=de_DE&lang=de&text=Hallo");
    ExpectSameAnswers({withWords, plain, french, plain, withWords, german, plain});
    EXPECT_NE(Cgi(withWords), Cgi(plain)) << "the cookie must matter for this test to mean much";
}

TEST_F(FastCgiModeTest, AnEditedIniFileTakesEffectOnTheNextRequest) {
    const auto request = Post("markup", Spell("en_US", "<b>Bold</b> <i>wrod</i>"));
    const std::string before = FastCgi(request);
    const std::string ini = service->tree() + "/cgi-bin/orthd.ini";
    const std::string original = testsupport::ReadFile(ini);
    std::ofstream(ini, std::ios::trunc) << "html_wl=i\n" << original;
    const std::string after = FastCgi(request);
    EXPECT_EQ(after, Cgi(request));
    std::ofstream(ini, std::ios::trunc) << original;
    EXPECT_NE(after, before);
    EXPECT_EQ(FastCgi(request), before);
}

namespace {

// Puts a file of the runtime tree back as it was, whatever the test did to it.
class FileRestorer {
  public:
    explicit FileRestorer(std::string path)
        : path_(std::move(path)), original_(testsupport::ReadFile(path_)) {}
    ~FileRestorer() { Restore(); }
    void Restore() const { std::ofstream(path_, std::ios::binary | std::ios::trunc) << original_; }
    const std::string& original() const { return original_; }

  private:
    std::string path_;
    std::string original_;
};

// The same bytes with `from` replaced by `to` once.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct FileEdit {
    const char* name;
    const char* file;  // in the runtime tree
    Request request;
    const char* from;  // "" removes the file
    const char* to;
};

}  // namespace

// A worker keeps the INI file, the texts and the templates between requests; every edit (even one
// of the same size) and every removal shows on the next request as it would under CGI.
TEST_F(FastCgiModeTest, EditedOrRemovedFilesShowOnTheNextRequest) {
    const auto spell = Post("spell", Spell("en_US", "<b>Hello</b> wrod"));
    const auto suggest = Get("suggest", "cmd=suggest&slang=en_US&word=recieve");
    const FileEdit edits[] = {
        {"template, same size", "templates/1000/templ/text.html", spell,
         "<title>Verbarium spell check</title>", "<title>VERBARIUM SPELL CHECK</title>"},
        {"interface text, same size", "texts/text_en_US.txt", suggest, "tx_no14=Suggestions",
         "tx_no14=SUGGESTIONS"},
        {"INI file, same size", "cgi-bin/orthd.ini", spell, "html_wl=b|", "html_wl=q|"},
        {"template removed", "templates/1000/templ/text.html", spell, "", ""},
        {"interface text removed", "texts/text_en_US.txt", suggest, "", ""},
        {"INI file removed", "cgi-bin/orthd.ini", spell, "", ""},
    };
    for (const auto& edit : edits) {
        const std::string path = service->tree() + "/" + edit.file;
        const FileRestorer restorer(path);
        const std::string before = FastCgi(edit.request);
        ASSERT_EQ(before, Cgi(edit.request)) << edit.name;
        const auto modified = std::filesystem::last_write_time(path);
        if (*edit.from) {
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                << Replaced(restorer.original(), edit.from, edit.to);
            std::filesystem::last_write_time(path, modified + std::chrono::seconds(1));
        } else {
            std::filesystem::remove(path);
        }
        const std::string after = FastCgi(edit.request);
        EXPECT_EQ(after, Cgi(edit.request)) << edit.name;
        EXPECT_NE(after, before) << edit.name;
        restorer.Restore();
        EXPECT_EQ(FastCgi(edit.request), before) << edit.name << ", restored";
    }
}
