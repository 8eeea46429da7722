#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "ferrix/SettingHandlers.h"
#include "kernel/CIniParser.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/ServerSettingHandler.h"
#include "kernel/filters/IniFileLoad_FLT.h"
#include "kernel/settings/ServiceHost_SS.h"
#include "kernel/settings/SettingValues.h"
#include "orthd/SettingHandlers.h"
#include "support/TestSupport.h"
#include "text/AttributeWhiteList.h"
#include "text/TagWhiteList.h"
#include "utils/InternalDataKeys.h"

namespace {

ServerSettingHandler& HandlerOf(Program program, const std::string& key) {
    for (ServerSettingHandler* handler : ServerSettingHandler::Registered(program))
        if (handler->name() == key) return *handler;
    throw std::runtime_error("no handler for " + key);
}

// Runs the handler of `key` as the INI stage does: its default, then the value if any.
class SettingHandlersTest : public ::testing::Test {
  protected:
    SettingHandlersTest() {
        orthd::RegisterSettingHandlers();
        ferrix::RegisterSettingHandlers();
    }

    void Run(Program program, const std::string& key, const std::string* value) {
        ServerSettingHandler& handler = HandlerOf(program, key);
        handler.setDefault(map, data);
        if (value) handler.apply(map, data, *value);
    }

    StringMap map;
    InternalData data;
};

std::set<std::string> NamesOf(Program program) {
    std::set<std::string> names;
    for (ServerSettingHandler* handler : ServerSettingHandler::Registered(program))
        names.insert(handler->name());
    return names;
}

}  // namespace

TEST_F(SettingHandlersTest, EachProgramRegistersItsKeysOnce) {
    const std::vector<std::string> orthdKeys = {"schema_def",     "use_ferrix_protocol",
                                                "lang_cookie",    "osp",
                                                "include_file",   "html_wl",
                                                "attr_wl",        "grammar_redirect",
                                                "spell_redirect", "thes_redirect"};
    const std::vector<std::string> ferrixKeys = {"service_host", "cache_dir_name", "cache_path",
                                                 "no_cache", "lang_cookie"};
    orthd::RegisterSettingHandlers();  // a second call must not register again
    const auto orthdNames = NamesOf(Program::Orthd);
    for (const auto& key : orthdKeys) EXPECT_EQ(orthdNames.count(key), 1u) << key;
    EXPECT_EQ(orthdNames.count("service_host"), 0u);
    const auto ferrixNames = NamesOf(Program::Ferrix);
    for (const auto& key : ferrixKeys) EXPECT_EQ(ferrixNames.count(key), 1u) << key;
    EXPECT_EQ(ferrixNames.count("osp"), 0u);

    size_t orthdRealHandlers = 0;
    for (ServerSettingHandler* handler : ServerSettingHandler::Registered(Program::Orthd))
        orthdRealHandlers +=
            std::find(orthdKeys.begin(), orthdKeys.end(), handler->name()) != orthdKeys.end();
    EXPECT_EQ(orthdRealHandlers, orthdKeys.size());
}

TEST(SettingValuesTest, OnlyExactOneOrTrueIsTrue) {
    struct Row {
        const char* value;
        bool expected;
    };
    const Row rows[] = {{"1", true},      {"true", true},   {"TRUE", false}, {"True", false},
                        {"0", false},     {"false", false}, {"", false},     {" 1", false},
                        {"true ", false}, {"yes", false},   {"11", false},   {"on", false}};
    for (const Row& row : rows) EXPECT_EQ(settings::IsTrue(row.value), row.expected) << row.value;
}

TEST_F(SettingHandlersTest, BooleanKeysHaveTheirDefaultsAndFollowTheBooleanRule) {
    struct Row {
        Program program;
        const char* key;
        int dataKey;
        bool defaultValue;
    };
    const Row rows[] = {
        {Program::Orthd, "use_ferrix_protocol", idkey::UseFerrixProtocol, true},
        {Program::Orthd, "lang_cookie", idkey::LangInCookie, true},
        {Program::Ferrix, "lang_cookie", idkey::LangInCookie, true},
        {Program::Ferrix, "no_cache", idkey::NoCache, false},
    };
    const std::pair<std::string, bool> values[] = {{"1", true},  {"true", true}, {"false", false},
                                                   {"0", false}, {"", false},    {"TRUE", false}};
    for (const Row& row : rows) {
        data = InternalData();
        Run(row.program, row.key, nullptr);
        EXPECT_EQ(data.Get<bool>(row.dataKey), row.defaultValue) << row.key;
        for (const auto& [value, expected] : values) {
            Run(row.program, row.key, &value);
            EXPECT_EQ(data.Get<bool>(row.dataKey), expected) << row.key << "=" << value;
        }
    }
}

TEST_F(SettingHandlersTest, StringKeysAreAbsentByDefaultAndCopiedVerbatim) {
    struct Row {
        Program program;
        const char* key;
        int dataKey;
    };
    const Row rows[] = {{Program::Orthd, "schema_def", idkey::SchemaDef},
                        {Program::Ferrix, "cache_dir_name", idkey::CacheDirName},
                        {Program::Ferrix, "cache_path", idkey::CachePath}};
    for (const Row& row : rows) {
        Run(row.program, row.key, nullptr);
        EXPECT_FALSE(data.Find(row.dataKey)) << row.key;
        const std::string value = " a b/<.x.> ";
        Run(row.program, row.key, &value);
        EXPECT_EQ(data.Get<std::string>(row.dataKey), value) << row.key;
    }
}

TEST_F(SettingHandlersTest, OspFromTheIniFileOnlyFillsAnEmptyRequestValue) {
    const std::string configured = "configured";
    Run(Program::Orthd, "osp", &configured);
    EXPECT_EQ(map["osp"], "configured");

    map["osp"] = "from-request";
    Run(Program::Orthd, "osp", &configured);
    EXPECT_EQ(map["osp"], "from-request");
}

TEST_F(SettingHandlersTest, WhiteListsDefaultToEmptyAndParseBarSeparatedItems) {
    Run(Program::Orthd, "html_wl", nullptr);
    Run(Program::Orthd, "attr_wl", nullptr);
    EXPECT_TRUE(data.Get<TagWhiteList>(idkey::TagWhiteList).names.empty());
    EXPECT_TRUE(data.Get<AttributeWhiteList>(idkey::AttributeWhiteList).names.empty());

    HandlerOf(Program::Orthd, "html_wl").apply(map, data, "b| i |u|");
    EXPECT_EQ(data.Get<TagWhiteList>(idkey::TagWhiteList).names,
              (std::set<std::u16string>{u"", u"b", u"i", u"u"}));
    HandlerOf(Program::Orthd, "attr_wl").apply(map, data, "href|title|href");
    EXPECT_EQ(data.Get<AttributeWhiteList>(idkey::AttributeWhiteList).names,
              (std::set<std::u16string>{u"href", u"title"}));
    // The last list parsed is kept with its value: the same value gives the same list, a changed
    // value (an edited INI file) its own.
    const struct {
        std::string value;
        std::set<std::u16string> names;
    } rows[] = {
        {"p|br", {u"br", u"p"}}, {"p|br", {u"br", u"p"}}, {"em", {u"em"}}, {"", {u""}},
        {"p|br", {u"br", u"p"}},
    };
    for (const auto& row : rows) {
        HandlerOf(Program::Orthd, "html_wl").apply(map, data, row.value);
        EXPECT_EQ(data.Get<TagWhiteList>(idkey::TagWhiteList).names, row.names) << row.value;
    }
}

TEST_F(SettingHandlersTest, WhiteListWithoutItsDefaultEntryFails) {
    EXPECT_THROW(HandlerOf(Program::Orthd, "html_wl").apply(map, data, "b"),
                 InternalData::ValueNotFound);
    data.Insert<std::string>(idkey::AttributeWhiteList, "wrong type");
    EXPECT_THROW(HandlerOf(Program::Orthd, "attr_wl").apply(map, data, "b"),
                 InternalData::TypeMismatch);
}

TEST(SettingValuesTest, ListItemsDecodeUtf8AndReplaceInvalidBytes) {
    struct Row {
        const char* value;
        std::set<std::u16string> expected;
    };
    const Row rows[] = {
        {"", {u""}},
        {"|", {u""}},
        {"  ", {u""}},
        {"\tb", {u"\tb"}},  // only blanks are trimmed
        {"\xC3\xA9|\xF0\x9F\x98\x80", {u"\u00E9", u"\U0001F600"}},
        {"a\xFF", {u"a\uFFFD"}},
        {"\xC0\xAF", {u"\uFFFD\uFFFD"}},            // overlong "/"
        {"\xED\xA0\x80", {u"\uFFFD\uFFFD\uFFFD"}},  // encoded surrogate
        {"\xE2\x82", {u"\uFFFD\uFFFD"}},            // cut short
    };
    for (const Row& row : rows)
        EXPECT_EQ(settings::ParseList(row.value), row.expected) << row.value;
}

TEST_F(SettingHandlersTest, RedirectKeysFillOneSharedTableUnderTheirOwnKinds) {
    for (const char* key : {"grammar_redirect", "spell_redirect", "thes_redirect"})
        Run(Program::Orthd, key, nullptr);
    EXPECT_FALSE(data.Find(idkey::ServerRedirects));

    HandlerOf(Program::Orthd, "spell_redirect").apply(map, data, "en_US en_GB->spell2:8080");
    HandlerOf(Program::Orthd, "thes_redirect").apply(map, data, "de_DE->thes:7000");
    const auto* table = data.Get<const ServerRedirectInfo*>(idkey::ServerRedirects);
    ASSERT_NE(table, nullptr);
    const ServerRedirectInfo::Target spell{"spell2", 8080};
    EXPECT_EQ(table->Find(ServiceKind::Spell, "en_US"), spell);
    EXPECT_EQ(table->Find(ServiceKind::Spell, "en_GB"), spell);
    EXPECT_EQ(table->Find(ServiceKind::Grammar, "en_US"), std::nullopt);
    EXPECT_EQ(table->Find(ServiceKind::Thesaurus, "de_DE"),
              (ServerRedirectInfo::Target{"thes", 7000}));

    // The next request of the same process starts from its own file only.
    InternalData next;
    HandlerOf(Program::Orthd, "spell_redirect").setDefault(map, next);
    EXPECT_EQ(table->Find(ServiceKind::Spell, "en_US"), std::nullopt);
}

TEST_F(SettingHandlersTest, MalformedRedirectStillMarksTheTableAndRecordsNothing) {
    Run(Program::Orthd, "grammar_redirect", nullptr);
    HandlerOf(Program::Orthd, "grammar_redirect").apply(map, data, "en_US->host:99999");
    const auto* table = data.Get<const ServerRedirectInfo*>(idkey::ServerRedirects);
    EXPECT_EQ(table->Find(ServiceKind::Grammar, "en_US"), std::nullopt);
}

TEST(ServiceHostSplitTest, SplitsSchemeHostAndPath) {
    using Parts = ServiceHost_SS::Parts;
    struct Row {
        const char* value;
        bool httpsOn;
        Parts expected;
    };
    const Row rows[] = {
        {"https://svc.example/orthd/orthd.cgi",
         false,
         {"https://svc.example/orthd/orthd.cgi", "https", "svc.example", "/orthd/orthd.cgi"}},
        {"//svc.example/cgi/orthd.cgi",
         true,
         {"https://svc.example/cgi/orthd.cgi", "https", "svc.example", "/cgi/orthd.cgi"}},
        {"//svc.example/cgi", false, {"http://svc.example/cgi", "http", "svc.example", "/cgi"}},
        {"svc.example", false, {"svc.example", std::nullopt, "svc.example", std::nullopt}},
        {"http://svc.example", false, {"http://svc.example", "http", "svc.example", std::nullopt}},
        {"http://svc.example/", false, {"http://svc.example/", "http", "svc.example", "/"}},
        {"", false, {"", std::nullopt, "", std::nullopt}},
        {"//", false, {"http://", "http", "", std::nullopt}},
        {"https//svc", false, {"https//svc", "https", "svc", std::nullopt}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ServiceHost_SS::Split(row.value, row.httpsOn), row.expected) << row.value;
}

TEST_F(SettingHandlersTest, ServiceHostTakesTheSchemeOfARelativeUrlFromHttpsOnExactly) {
    const std::string value = "//svc.example/cgi/orthd.cgi";
    for (const auto& [https, scheme] : std::vector<std::pair<const char*, std::string>>{
             {"on", "https"}, {"ON", "http"}, {"off", "http"}, {nullptr, "http"}}) {
        if (https)
            setenv("HTTPS", https, 1);
        else
            unsetenv("HTTPS");
        Run(Program::Ferrix, "service_host", &value);
        EXPECT_EQ(data.Get<std::string>(idkey::ServiceScheme), scheme);
        EXPECT_EQ(map["service_host"], scheme + ":" + value);
        EXPECT_EQ(data.Get<std::string>(idkey::ServiceHost), "svc.example");
        EXPECT_EQ(data.Get<std::string>(idkey::ServicePath), "/cgi/orthd.cgi");
    }
    unsetenv("HTTPS");

    InternalData bare;
    HandlerOf(Program::Ferrix, "service_host").apply(map, bare, "svc.example");
    EXPECT_EQ(bare.Get<std::string>(idkey::ServiceHost), "svc.example");
    EXPECT_FALSE(bare.Find(idkey::ServiceScheme));
    EXPECT_FALSE(bare.Find(idkey::ServicePath));
}

TEST_F(SettingHandlersTest, IncludeFileCopiesItsPairsAsPlainValues) {
    testsupport::TempDir dir;
    dir.Write("more.ini", "a=from include\ninclude_file=other.ini\nhtml_wl=b\n");
    map[":app_path:"] = dir.str();
    map["a"] = "before";
    for (const std::string& value : {std::string("more.ini"), dir.str() + "more.ini"}) {
        Run(Program::Orthd, "include_file", &value);
        EXPECT_EQ(map["a"], "from include");
        EXPECT_EQ(map["include_file"], "other.ini");
        EXPECT_EQ(map["html_wl"], "b");
        EXPECT_FALSE(data.Find(idkey::TagWhiteList));
    }
}

TEST_F(SettingHandlersTest, IncludeFileThatCannotBeOpenedFails) {
    map[":app_path:"] = "/nonexistent-dir/";
    const std::string value = "missing.ini";
    try {
        Run(Program::Orthd, "include_file", &value);
        FAIL() << "no exception";
    } catch (const CIniParser::CIniParserException& e) {
        EXPECT_EQ(std::string(e.what()), " Can not open: /nonexistent-dir/missing.ini");
    }
}

TEST(IncludeFileThroughIniStageTest, IncludedValueSurvivesOnlyForKeysSortingBeforeIncludeFile) {
    orthd::RegisterSettingHandlers();
    testsupport::TempDir dir;
    dir.Write("orthd.ini", "alpha=main\nzeta=main\ninclude_file=inc.ini\nlang_cookie=0\n");
    dir.Write("inc.ini", "alpha=included\nzeta=included\nonly_included=yes\n");
    StringMap map{{":app_path:", dir.str()}, {":ini_name:", "orthd.ini"}};
    InternalData data;
    IniFileLoad_FLT(Program::Orthd).apply(map, data);
    EXPECT_EQ(map["alpha"], "included");
    EXPECT_EQ(map["zeta"], "main");
    EXPECT_EQ(map["only_included"], "yes");
    EXPECT_FALSE(data.Get<bool>(idkey::LangInCookie));
    EXPECT_TRUE(data.Get<bool>(idkey::UseFerrixProtocol));
    const auto& iniKeys = data.Get<std::vector<std::string>>(idkey::IniKeys);
    EXPECT_EQ(iniKeys, (std::vector<std::string>{"alpha", "zeta"}));
}

TEST(IncludeFileThroughIniStageTest, MissingIncludedFileFailsTheStageWithThePath) {
    orthd::RegisterSettingHandlers();
    testsupport::TempDir dir;
    dir.Write("orthd.ini", "include_file=/nonexistent-dir/x.ini\n");
    StringMap map{{":app_path:", dir.str()}, {":ini_name:", "orthd.ini"}};
    InternalData data;
    try {
        IniFileLoad_FLT(Program::Orthd).apply(map, data);
        FAIL() << "no exception";
    } catch (const IniFileLoad_FLT::IniLdrException& e) {
        EXPECT_EQ(e.message(),
                  "IniFileLoader::apply() - internal error. Can not open: /nonexistent-dir/x.ini");
    }
}
