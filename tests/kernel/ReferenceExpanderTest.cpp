#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kernel/filters/PostProcessSettings_FLT.h"
#include "kernel/settings/ReferenceExpander.h"
#include "utils/InternalDataKeys.h"

namespace {

ReferenceExpander::Environment FakeEnvironment(std::map<std::string, std::string> variables) {
    return [variables](const std::string& name) -> std::optional<std::string> {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    };
}

const ReferenceExpander::Environment kNoEnvironment = FakeEnvironment({});

}  // namespace

TEST(ReferenceExpanderTest, ExpandsKnownNamesAndKeepsEverythingElse) {
    const StringMap map{{"host", "svc.example"},
                        {"empty", ""},
                        {"nested", "<.host.>/x"},
                        {"PATH_KEY", "from map"},
                        {"opener", "<.ho"}};
    const ReferenceExpander expander(map,
                                     FakeEnvironment({{"ENV_ONLY", "env"}, {"PATH_KEY", "env"}}));
    struct Row {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"http://<.host.>/cgi", "http://svc.example/cgi"},
        {"<.host.><.host.>", "svc.examplesvc.example"},
        {"[<.empty.>]", "[]"},
        {"<.nested.>/y", "svc.example/x/y"},
        {"<.ENV_ONLY.>", "env"},
        {"<.PATH_KEY.>", "from map"},  // the string map comes before the environment
        {"<.unknown.> and <.host.>", "<.unknown.> and svc.example"},
        {"<..>", "<..>"},
        {"<.>", "<.>"},
        {"<.host", "<.host"},
        {"a <.host.> <.unterminated", "a svc.example <.unterminated"},
        {"<.a<.host.>", "<.a<.host.>"},  // the name is "a<.host"
        {"<.unknown.>host.>", "<.unknown.>host.>"},
        {"<.opener.>st.>", "<.host.>"},  // an inserted value is expanded on its own
        {"no references", "no references"},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(expander.Expand(row.text), row.expected) << row.text;
}

TEST(ReferenceExpanderTest, SelfAndMutualReferencesFailInsteadOfGrowingForever) {
    const StringMap map{{"self", "x<.self.>"}, {"a", "<.b.>"}, {"b", "<.a.>"}, {"ok", "fine"}};
    const ReferenceExpander expander(map, kNoEnvironment);
    EXPECT_EQ(expander.Expand("<.self.>"), std::nullopt);
    EXPECT_EQ(expander.Expand("<.a.>"), std::nullopt);
    EXPECT_EQ(expander.Expand("<.ok.> then <.b.>"), std::nullopt);
}

TEST(ReferenceExpanderTest, NestingUpToTheDepthLimitExpands) {
    StringMap map{{"k0", "end"}};
    for (int i = 1; i <= ReferenceExpander::kMaxReferenceDepth; ++i)
        map["k" + std::to_string(i)] = "<.k" + std::to_string(i - 1) + ".>";
    const ReferenceExpander expander(map, kNoEnvironment);
    const int deepest = ReferenceExpander::kMaxReferenceDepth - 1;
    EXPECT_EQ(expander.Expand("<.k" + std::to_string(deepest) + ".>"), "end");
    EXPECT_EQ(expander.Expand("<.k" + std::to_string(deepest + 1) + ".>"), std::nullopt);
}

TEST(ReferenceExpanderTest, FanOutIsBoundedBySizeAndByReferenceCount) {
    // Each level refers to the next ten times: 10^6 references without the limits.
    StringMap map{{"l6", "0123456789"}};
    StringMap empties{{"l6", ""}};
    for (int i = 5; i >= 0; --i) {
        std::string value;
        for (int n = 0; n < 10; ++n) value += "<.l" + std::to_string(i + 1) + ".>";
        map["l" + std::to_string(i)] = value;
        empties["l" + std::to_string(i)] = value;
    }
    EXPECT_EQ(ReferenceExpander(map, kNoEnvironment).Expand("<.l0.>"), std::nullopt);
    EXPECT_EQ(ReferenceExpander(empties, kNoEnvironment).Expand("<.l0.>"), std::nullopt);
    EXPECT_EQ(ReferenceExpander(map, kNoEnvironment).Expand("<.l4.>")->size(), 1000u);
}

TEST(ReferenceExpanderTest, NamesTheEnvironmentCannotHoldAreNotLookedUp) {
    std::vector<std::string> asked;
    const StringMap map;
    const ReferenceExpander expander(
        map, [&asked](const std::string& name) -> std::optional<std::string> {
            asked.push_back(name);
            return "v";
        });
    EXPECT_EQ(expander.Expand("<.A=B.><..><.HOME.>"), "<.A=B.><..>v");
    EXPECT_EQ(expander.Expand(std::string("<.HOME\0X.>", 10)), std::string("<.HOME\0X.>", 10));
    EXPECT_EQ(asked, std::vector<std::string>{"HOME"});
}

class PostProcessSettingsTest : public ::testing::Test {
  protected:
    void SetIniKeys(std::vector<std::string> keys) { data.Insert(idkey::IniKeys, std::move(keys)); }

    StringMap map;
    InternalData data;
    PostProcessSettings_FLT filter{FakeEnvironment({{"SERVER_ROOT", "/srv"}})};
};

TEST_F(PostProcessSettingsTest, ExpandsOnlyListedKeysInListOrder) {
    map = {{"base", "<.SERVER_ROOT.>/app"}, {"tpl", "<.base.>/tpl"}, {"first", "<.later.>"},
           {"later", "<.base.>"},           {"param", "<.base.>"},   {":app_path:", "/opt/"}};
    SetIniKeys({"first", "base", "tpl", "later", "gone"});
    filter.apply(map, data);
    EXPECT_EQ(map["base"], "/srv/app");
    EXPECT_EQ(map["tpl"], "/srv/app/tpl");
    // "first" saw "later" before it was expanded, and expanded what that inserted.
    EXPECT_EQ(map["first"], "/srv/app");
    EXPECT_EQ(map["param"], "<.base.>");
    EXPECT_EQ(map.count("gone"), 0u);
}

TEST_F(PostProcessSettingsTest, SelfReferringValuesStayAsWritten) {
    map = {{"self", "x<.self.>"}, {"a", "1<.b.>"}, {"b", "2<.a.>"}, {"fine", "<.SERVER_ROOT.>"}};
    SetIniKeys({"self", "a", "b", "fine"});
    filter.apply(map, data);
    EXPECT_EQ(map["self"], "x<.self.>");
    EXPECT_EQ(map["a"], "1<.b.>");
    EXPECT_EQ(map["b"], "2<.a.>");
    EXPECT_EQ(map["fine"], "/srv");
}

TEST_F(PostProcessSettingsTest, MissingIniKeysIsAnInternalError) {
    try {
        filter.apply(map, data);
        FAIL() << "no exception";
    } catch (const PostProcessSettings_FLT::PostProcessSettingsException& e) {
        EXPECT_EQ(e.message(), "IniFileLoader::apply() - internal error.");
        EXPECT_EQ(e.file(), "kernel/filters/PostProcessSettings_FLT");
    }
}

TEST_F(PostProcessSettingsTest, ReadsTheProcessEnvironmentByDefault) {
    setenv("VERBARIUM_TEST_ROOT", "/from-env", 1);
    map = {{"dir", "<.VERBARIUM_TEST_ROOT.>/x"}};
    SetIniKeys({"dir"});
    PostProcessSettings_FLT().apply(map, data);
    unsetenv("VERBARIUM_TEST_ROOT");
    EXPECT_EQ(map["dir"], "/from-env/x");
}
