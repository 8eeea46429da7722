#include <gtest/gtest.h>

#include "orthd/PreProcess_FLT.h"
#include "text/FilteringParams.h"
#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"

using orthd::PreProcess_FLT;

namespace {

class PreProcessTest : public ::testing::Test {
  protected:
    StringMap map;
    InternalData data;
    PreProcess_FLT filter;

    void SetUp() override {
        data.Insert(idkey::LangInCookie, true);
        data.Insert(idkey::TagWhiteList, TagWhiteList{{u"B"}});
        data.Insert(idkey::AttributeWhiteList, AttributeWhiteList{{u"href"}});
    }
    std::string FailureOf(const StringMap& values) {
        StringMap m = values;
        m["run_mode"] = "web_service";
        InternalData d = data;
        try {
            filter.apply(m, d);
        } catch (const PreProcess_FLT::PreProcess_FLTException& e) {
            return e.what();
        }
        return "";
    }
};

}  // namespace

TEST_F(PreProcessTest, BuildsFilteringParamsSpellLangAndCleansText) {
    map["slang"] = "en_US";
    map["text"] =
        "a\xC2\xA0"
        "b";
    filter.apply(map, data);
    EXPECT_EQ(map["url_version"], "1678");
    EXPECT_EQ(map["text"], "a,b");
    const auto& params = data.Get<FilteringParams>(idkey::FilteringParams);
    EXPECT_EQ(params.tags.names.count(u"B"), 1u);
    EXPECT_EQ(params.attributes.names.count(u"href"), 1u);
    EXPECT_EQ(params.mode, 0);
    EXPECT_EQ(data.Get<std::string>(idkey::SpellLang), "en_US");
}

TEST_F(PreProcessTest, EveryNoBreakSpaceBecomesAComma) {
    const std::pair<std::string, std::string> rows[] = {
        {"\xC2\xA0\xC2\xA0\xC2\xA0", ",,,"},
        {"x\xC2\xA0\xC2\xA0y\xC2\xA0", "x,,y,"},
        {"\xC2\xC2\xA0\xA0", "\xC2,\xA0"},  // no new pair forms after a replacement
        {"\xC2 \xA0", "\xC2 \xA0"},
        {"", ""},
        {std::string(40000, 'a'), std::string(40000, 'a')},
    };
    for (const auto& [text, cleaned] : rows) {
        StringMap m{{"text", text}};
        InternalData d = data;
        filter.apply(m, d);
        EXPECT_EQ(m["text"], cleaned) << text.substr(0, 20);
        // The text as sent stays at hand when it changed.
        EXPECT_EQ(d.GetOr<std::string>(idkey::TextAsSent, cleaned), text) << text.substr(0, 20);
    }
    std::string run;
    for (int i = 0; i < 100000; ++i) run += "\xC2\xA0";
    map["text"] = run;
    filter.apply(map, data);
    EXPECT_EQ(map["text"], std::string(100000, ','));
}

TEST_F(PreProcessTest, LanguageCookieAppliesOnlyAtSessionStart) {
    map["slang"] = "en_US";
    map[":lng_pdef:"] = "de_DE";
    filter.apply(map, data);
    EXPECT_EQ(map["slang"], "en_US");

    StringMap started{{"slang", "en_US"}, {":lng_pdef:", "de_DE"}, {":session_start:", ""}};
    InternalData d = data;
    filter.apply(started, d);
    EXPECT_EQ(started["slang"], "de_DE");
}

TEST_F(PreProcessTest, LanguageListGivesGroupBlocksAndRightToLeft) {
    map["langs_list"] = "[ltr] en_US de_DE [rtl] he_IL";
    map["en_US"] = "English";
    map["de_DE"] = "Deutsch";
    map["he_IL"] = "Hebrew";
    map["slang"] = "he_IL";
    filter.apply(map, data);
    EXPECT_EQ(map["langs"],
              "\t\"ltr\" :\n\t{\n\t\"en_US\" : \"English\",\n\t\"de_DE\" : \"Deutsch\"\n\t},\n"
              "\t\"rtl\" :\n\t{\n\t\"he_IL\" : \"Hebrew\"\n\t}\n");
    EXPECT_EQ(map["ltr"], "\"en_US\" : \"English\",\"de_DE\" : \"Deutsch\"");
    EXPECT_EQ(map["right_to_left"], "dir=\"rtl\"");
}

TEST_F(PreProcessTest, LanguageListFailsOnUnclosedGroupName) {
    map["langs_list"] = "[ltr] en_US [rtl";
    EXPECT_THROW(filter.apply(map, data), PreProcess_FLT::PreProcess_FLTException);
}

TEST_F(PreProcessTest, WebServiceOptionsArePackedIntoOsp) {
    map["run_mode"] = "web_service";
    map["ignore_mixed_case"] = "1";
    map["callback"] = "kwirl.cb[2]";
    filter.apply(map, data);
    EXPECT_EQ(map["osp"], "0010");
    EXPECT_EQ(map["callback"], "kwirl.cb[2]");
    EXPECT_EQ(map["left_per"], "(");
    EXPECT_EQ(map["right_per"], ")");
}

TEST_F(PreProcessTest, WithoutWebServiceModeOptionsAreNotChecked) {
    map["format"] = "html";
    map["osp"] = "0001";
    filter.apply(map, data);
    EXPECT_EQ(map["osp"], "0001");
}

TEST_F(PreProcessTest, InvalidWebServiceOptionsAreRejectedWithTheValueEscaped) {
    EXPECT_EQ(FailureOf({{"format", "html"}}),
              "Format 'html' is not supported. Supported formats are: 'xml', 'json'.");
    EXPECT_EQ(FailureOf({{"out_type", "lines"}}),
              "Output type 'lines' is not supported. Supported types are: 'positions', 'words'.");
    EXPECT_EQ(
        FailureOf({{"ignore_all_caps", "2"}}),
        "Value '2' for option 'ignore_all_caps' is not supported. Supported values are: '0', '1'.");
    EXPECT_EQ(FailureOf({{"format", "<#acl_file_name#><script>"}}),
              "Format '&lt;#acl_file_name#&gt;&lt;script&gt;' is not supported. Supported formats "
              "are: 'xml', "
              "'json'.");
}

TEST_F(PreProcessTest, MissingSettingIsAnInternalError) {
    InternalData empty;
    EXPECT_THROW(filter.apply(map, empty), PreProcess_FLT::PreProcess_FLTException);
}

TEST_F(PreProcessTest, CallbackThatIsNoPlainNameFailsTheRequest) {
    for (const char* callback : {"f(x)", "alert(document.domain)//", "a b", "x;y", "<b>", "a-b"}) {
        for (const char* mode : {"", "web_service"}) {
            map["callback"] = callback;
            map["run_mode"] = mode;
            try {
                filter.apply(map, data);
                ADD_FAILURE() << callback;
            } catch (const PreProcess_FLT::PreProcess_FLTException& e) {
                EXPECT_STREQ(e.what(), PreProcess_FLT::kInvalidCallback);
            }
            data = InternalData();
            SetUp();
        }
    }
}

TEST_F(PreProcessTest, LanguageFromTheCookieIsStillRequestText) {
    map = {{"slang", "en_US"}, {":lng_pdef:", "x'};alert(1)//"}, {":session_start:", ""}};
    data.Insert(idkey::RequestValues, RequestValueRecord());
    filter.apply(map, data);
    const auto& record = data.Get<RequestValueRecord>(idkey::RequestValues);
    EXPECT_TRUE(record.OriginOf("slang", "x'};alert(1)//"));
    EXPECT_TRUE(record.OriginOf("text", ""));
}
