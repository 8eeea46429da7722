// The dialog's whole loop through lighttpd, orthd.cgi and the real engine server: personal
// dictionaries, add, change, ignore, grammar and the thesaurus.
#include <gtest/gtest.h>

#include <memory>

#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::UrlEncode;

namespace {

class DialogLoopEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<LiveService>(); }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }

    static HttpResponse Post(const std::string& body, const std::string& cookie = "") {
        std::map<std::string, std::string> headers;
        if (!cookie.empty()) headers["Cookie"] = cookie;
        return HttpRequest(service->webPort(), "POST", "/cgi-bin/orthd.cgi", body, headers);
    }
    // One "dictionary" action in JSON for the client that uses dictionary `udn` with owner key
    // `key` (its cookies).
    static std::string Dictionary(const std::string& action, const std::string& dname,
                                  const std::string& udn, const std::string& key = "") {
        return Post("cmd=dictionary&format=json&callback=cb&action=" + action +
                        "&dname=" + UrlEncode(dname),
                    "udn=" + UrlEncode(udn) + (key.empty() ? "" : "; udk=" + key))
            .body;
    }
    static bool Marked(const std::string& body, const std::string& word) {
        return body.find(">" + word + "<") != std::string::npos;
    }

    static std::unique_ptr<LiveService> service;
};
std::unique_ptr<LiveService> DialogLoopEndToEndTest::service;

}  // namespace

TEST_F(DialogLoopEndToEndTest, PersonalDictionaryLifecycle) {
    const std::string created = Dictionary("create", "loop words", "[/]");
    const size_t at = created.find("\"key\": \"");
    ASSERT_NE(at, std::string::npos) << created;
    const std::string key = created.substr(at + 8, 64);
    EXPECT_EQ(created,
              "cb({\"dname\": \"loop words\", \"action\": \"create\", \"key\": \"" + key + "\"})");
    // Without the owner's key the dictionary cannot be changed.
    EXPECT_NE(Dictionary("rename", "loop taken", "loop words").find("\"type\": \"-3\""),
              std::string::npos);

    // "Orthdexx" is added through the dialog and accepted by the check that follows and by the
    // next "spell".
    const std::string text = UrlEncode("Orthdexx works wel");
    const auto added =
        Post("cmd=sp_add&slang=en_US&pos=0&len=8&text=" + text, "udn=loop%20words; udk=" + key);
    EXPECT_EQ(added.status, 200);
    EXPECT_FALSE(Marked(added.body, "Orthdexx")) << added.body;
    EXPECT_TRUE(Marked(added.body, "wel")) << added.body;
    const auto again = Post("cmd=spell&slang=en_US&text=" + text, "udn=loop%20words");
    EXPECT_FALSE(Marked(again.body, "Orthdexx")) << again.body;
    EXPECT_TRUE(Marked(Post("cmd=spell&slang=en_US&text=" + text).body, "Orthdexx"));

    EXPECT_EQ(Dictionary("rename", "loop words", "loop words", key),
              "cb({\"text\": \"The dictionary \\u0027loop words\\u0027 could not be renamed (error "
              "-3).\", \"type\": \"-3\", \"error\": true, \"dname\": \"loop words\"})");
    EXPECT_EQ(Dictionary("rename", "loop list", "loop words", key),
              "cb({\"dname\": \"loop list\", \"action\": \"rename\"})");
    EXPECT_EQ(Dictionary("restore", "loop list", "[/]"),
              "cb({\"dname\": \"loop list\", \"action\": \"restore\"})");
    EXPECT_FALSE(
        Marked(Post("cmd=spell&slang=en_US&text=" + text, "udn=loop%20list").body, "Orthdexx"));
    EXPECT_EQ(Dictionary("delete", "", "loop list", key),
              "cb({\"dname\": \"loop list\", \"action\": \"delete\"})");
    EXPECT_NE(Dictionary("restore", "loop list", "[/]").find("\"error\": true"), std::string::npos);
}

TEST_F(DialogLoopEndToEndTest, ChangeAllLeavesLongerWordsAlone) {
    const auto answer =
        Post("cmd=sp_ch_all&slang=en_US&pos=0&len=3&word=the&text=" + UrlEncode("teh tehran teh"));
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find("name=\"text\" value=\"the tehran the "), std::string::npos)
        << answer.body;
}

TEST_F(DialogLoopEndToEndTest, IgnoredWordStaysIgnoredAfterALongerCorrection) {
    // "wrod" at 9 is ignored; correcting "teh" at 0 to "thee" moves it to 10.
    const auto answer = Post("cmd=sp_ch&slang=en_US&pos=0&len=3&word=thee&igpossp=9&text=" +
                             UrlEncode("teh good wrod"));
    EXPECT_FALSE(Marked(answer.body, "wrod")) << answer.body;
    EXPECT_NE(answer.body.find("name=\"igpossp\" value=\"0,10\""), std::string::npos)
        << answer.body;
}

TEST_F(DialogLoopEndToEndTest, GrammarOffersTheVariant) {
    const std::string text = UrlEncode("Go as as as as you can.");
    const auto grammar = Post("cmd=grammar&slang=en_US&text=" + text);
    EXPECT_EQ(grammar.status, 200);
    EXPECT_NE(grammar.body.find("submit_bot('suggram','as as',3,5,0,1,"), std::string::npos)
        << grammar.body;
    const auto choices = Post("cmd=suggram&slang=en_US&problemid=0&text=" + text);
    EXPECT_NE(choices.body.find("name=\"vnts\" value=\"as\""), std::string::npos) << choices.body;
    EXPECT_NE(choices.body.find("new_word.value =\"as\";"), std::string::npos) << choices.body;
    const auto ignored = Post("cmd=gr_ig_all&slang=en_US&pos=3&len=5&igproblem=1&text=" + text);
    EXPECT_EQ(ignored.body.find("submit_bot('suggram'"), std::string::npos) << ignored.body;
}

TEST_F(DialogLoopEndToEndTest, ThesaurusListsCategories) {
    const auto answer = Post("cmd=getthes&slang=en_US&word=good");
    EXPECT_EQ(answer.status, 200);
    if (answer.body.find("Thesaurus is not available") != std::string::npos)
        GTEST_SKIP() << "no thesaurus data installed";
    EXPECT_NE(answer.body.find("name=cat_l value=\"("), std::string::npos) << answer.body;
    const auto marked = Post("cmd=thes&slang=en_US&text=" + UrlEncode("a good day"));
    EXPECT_NE(marked.body.find("submit_bot('getthes'"), std::string::npos) << marked.body;
}
