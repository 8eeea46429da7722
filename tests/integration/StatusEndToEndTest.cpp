// The self-check a monitor calls, against the real engine server under lighttpd.
#include <gtest/gtest.h>

#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::HttpRequest;
using testsupport::LiveService;

TEST(StatusEndToEndTest, HealthyServiceReadsOkAndAStoppedEngineA503) {
    LiveService service;
    if (service.webServerMissing) GTEST_SKIP() << service.problem;
    ASSERT_EQ(service.problem, "");
    const auto status = [&] {
        return HttpRequest(service.webPort(), "GET", "/cgi-bin/orthd.cgi?cmd=status");
    };
    const auto healthy = status();
    EXPECT_EQ(healthy.status, 200);
    EXPECT_EQ(healthy.body, "OK,OK,OK");

    service.StopEngine();
    const auto down = status();
    EXPECT_EQ(down.status, 503);
    EXPECT_EQ(down.body, "ERROR,ERROR,ERROR");
}

TEST(StatusEndToEndTest, LanguageAnswersAreWellFormed) {
    LiveService service;
    if (service.webServerMissing) GTEST_SKIP() << service.problem;
    ASSERT_EQ(service.problem, "");
    const auto get = [&](const std::string& query) {
        return HttpRequest(service.webPort(), "GET", "/cgi-bin/orthd.cgi?" + query).body;
    };
    EXPECT_NE(get("cmd=languages&slang=en_US").find("<Abbrev>he_IL</Abbrev>"), std::string::npos);
    EXPECT_NE(get("cmd=get_lang_list&callback=cb").find("cb({\"langList\":{\"ltr\": {"),
              std::string::npos);
    EXPECT_NE(get("cmd=get_lang_list&callback=cb").find("\"verLang\": 1}"), std::string::npos);
    EXPECT_NE(get("cmd=ui_strings&intlang=de_DE").find("<Strings><String id=\"1\">"),
              std::string::npos);
    EXPECT_NE(get("cmd=xver").find("<script>orthd</script>"), std::string::npos);
}
