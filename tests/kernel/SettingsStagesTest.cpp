#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "kernel/SettingHandler.h"
#include "kernel/filters/EnvVarLoad_FLT.h"
#include "kernel/filters/Settings_FLT.h"
#include "orthd/SettingHandlers.h"
#include "utils/InternalDataKeys.h"

namespace {

using Items = std::map<std::string, std::string>;

// A "settings" handler of ferrix's list (which has no real ones) for the failure paths.
class ThrowingSetting : public SettingHandler {
  public:
    ThrowingSetting() : SettingHandler(Program::Ferrix) {}
    void apply(StringMap&, InternalData&, const std::string& value) override {
        if (value == "filter") VERB_THROW(Filter::exception, "refused");
        if (value == "std") throw std::runtime_error("boom");
        throw 42;
    }
    std::string name() const override { return "throw"; }
};

}  // namespace

TEST(SettingsFilterTest, ParsesItems) {
    struct Row {
        const char* settings;
        Items expected;
    };
    const Row rows[] = {
        {"", {}},
        {";;", {}},
        {"ferrix", {{"ferrix", ""}}},
        {"ferrix=0;x=a=b", {{"ferrix", "0"}, {"x", "a=b"}}},
        {"ferrix=1;ferrix=0", {{"ferrix", "1"}}},
        {" ferrix = 1 ", {{" ferrix ", " 1 "}}},
        {"=v;;a", {{"", "v"}, {"a", ""}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Settings_FLT::ParseItems(row.settings), row.expected) << row.settings;
}

TEST(SettingsFilterTest, FerrixItemSetsViaFerrix) {
    orthd::RegisterSettingHandlers();
    struct Row {
        const char* settings;
        std::optional<bool> viaFerrix;
    };
    const Row rows[] = {{"ferrix", true},          {"ferrix=1", true},
                        {"ferrix=", true},         {"ferrix=0", false},
                        {"ferrix=true", false},    {"other;ferrix", true},
                        {"", std::nullopt},        {"ferrixx", std::nullopt},
                        {" ferrix", std::nullopt}, {"FERRIX", std::nullopt}};
    for (const Row& row : rows) {
        StringMap map{{"settings", row.settings}};
        InternalData data;
        Settings_FLT(Program::Orthd).apply(map, data);
        if (row.viaFerrix)
            EXPECT_EQ(data.Get<bool>(idkey::ViaFerrix), *row.viaFerrix) << row.settings;
        else
            EXPECT_FALSE(data.Find(idkey::ViaFerrix)) << row.settings;
    }
}

TEST(SettingsFilterTest, HandlerFailuresBecomeTheStagesErrorExceptFilterErrors) {
    ThrowingSetting handler;
    InternalData data;
    StringMap map{{"settings", "throw=filter"}};
    EXPECT_THROW(
        try {
            Settings_FLT(Program::Ferrix).apply(map, data);
        } catch (const Settings_FLT::Exception&) { ADD_FAILURE() << "wrapped"; },
        Filter::exception);

    map["settings"] = "throw=std";
    try {
        Settings_FLT(Program::Ferrix).apply(map, data);
        ADD_FAILURE() << "no exception";
    } catch (const Settings_FLT::Exception& e) {
        EXPECT_EQ(e.message(), "Settings::apply() - internal error. boom");
        EXPECT_EQ(e.file(), "kernel/filters/Settings_FLT");
    }

    map["settings"] = "throw=other";
    try {
        Settings_FLT(Program::Ferrix).apply(map, data);
        ADD_FAILURE() << "no exception";
    } catch (const Settings_FLT::Exception& e) {
        EXPECT_EQ(e.message(), "Settings::apply() - internal error.");
    }
}

namespace {

EnvVarLoad_FLT::Environment FakeEnvironment(std::map<std::string, std::string> variables) {
    return [variables](const std::string& name) -> std::optional<std::string> {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    };
}

}  // namespace

TEST(EnvVarLoadTest, BuildsTheProgramsUrlFromTheCgiEnvironment) {
    struct Row {
        std::map<std::string, std::string> environment;
        const char* host;
        const char* scheme;
        const char* requestPath;
    };
    const Row rows[] = {
        {{{"HTTP_HOST", "h.example"}, {"SCRIPT_NAME", "/cgi/orthd.cgi"}},
         "h.example",
         "http",
         "http://h.example/cgi/orthd.cgi"},
        {{{"HTTP_HOST", "h.example"}, {"HTTPS", "on"}, {"SCRIPT_NAME", "/o.cgi"}},
         "h.example",
         "https",
         "https://h.example/o.cgi"},
        {{{"HTTP_HOST", "h.example"}, {"HTTPS", "ON"}, {"SCRIPT_NAME", "/o.cgi"}},
         "h.example",
         "https",
         "https://h.example/o.cgi"},
        {{{"HTTP_HOST", "h.example"}, {"HTTPS", "off"}, {"SCRIPT_NAME", ""}},
         "h.example",
         "http",
         "http://h.example"},
        {{{"HTTP_HOST", "h.example"}, {"HTTPS", "1"}}, "h.example", "http", ""},
        {{{"SCRIPT_NAME", "/o.cgi"}}, "", "http", "/o.cgi"},
        {{}, "", "http", ""},
    };
    for (const Row& row : rows) {
        StringMap map{{"REQUEST_PATH", "stale"}};
        InternalData data;
        EnvVarLoad_FLT(FakeEnvironment(row.environment)).apply(map, data);
        EXPECT_EQ(map["HTTP_HOST"], row.host);
        EXPECT_EQ(map["HTTP_OR_HTTPS"], row.scheme);
        EXPECT_EQ(map["REQUEST_PATH"], row.requestPath);
        EXPECT_FALSE(data.Find(idkey::HttpAccept));
    }
}

TEST(EnvVarLoadTest, StoresHttpAcceptOnlyWhenSet) {
    InternalData data;
    StringMap map;
    EnvVarLoad_FLT(FakeEnvironment({{"HTTP_ACCEPT", "text/html,*/*"}})).apply(map, data);
    EXPECT_EQ(data.Get<std::string>(idkey::HttpAccept), "text/html,*/*");
}

TEST(EnvVarLoadTest, ReadsTheProcessEnvironmentByDefault) {
    setenv("HTTP_HOST", "proc.example", 1);
    setenv("SCRIPT_NAME", "/p.cgi", 1);
    unsetenv("HTTPS");
    StringMap map;
    InternalData data;
    EnvVarLoad_FLT().apply(map, data);
    unsetenv("HTTP_HOST");
    unsetenv("SCRIPT_NAME");
    EXPECT_EQ(map["REQUEST_PATH"], "http://proc.example/p.cgi");
}
