// The informational commands: language lists, interface strings, navigation bar, scripts,
// version, log, closing page, the self-check and the animation-player spelling answer.
#include <gtest/gtest.h>

#include "SpellHandlerTestSupport.h"
#include "cmdhandlers/Info/GetScript_CH.h"
#include "cmdhandlers/Info/GetUIStrings_CH.h"
#include "cmdhandlers/Info/LangList_CH.h"
#include "cmdhandlers/Info/Languages_CH.h"
#include "cmdhandlers/Info/Log_CH.h"
#include "cmdhandlers/Info/Navbar_CH.h"
#include "cmdhandlers/Info/Status_CH.h"
#include "cmdhandlers/Info/Version_CH.h"
#include "cmdhandlers/Spell/FlashSpell_CH.h"
#include "kernel/ContentType.h"

namespace {

template <typename Handler>
std::string ViewOf(StringMap map) {
    InternalData data;
    Handler().apply(map, data);
    return map["view"];
}

}  // namespace

TEST(LanguagesTest, ListsEveryCodeWithItsMarks) {
    const struct {
        std::string list, slang, intlang, rtl, view;
    } rows[] = {
        {"en_US [usual] he_IL de_DE", "de_DE", "en_US", "he_IL",
         "<Languages><Language index=\"1\" intlang=\"1\" rtl=\"0\"><Abbrev>en_US</Abbrev>"
         "</Language><Language index=\"2\" rtl=\"1\"><Abbrev>he_IL</Abbrev></Language>"
         "<Language index=\"3\" slang=\"1\" rtl=\"0\"><Abbrev>de_DE</Abbrev></Language>"
         "</Languages>"},
        // No trailing blank; a section value of quoted pairs counts whole codes only.
        {"[ltr] he [rtl] he_IL", "", "", "\"he_IL\" : \"Hebrew\"",
         "<Languages><Language index=\"1\" rtl=\"0\"><Abbrev>he</Abbrev></Language>"
         "<Language index=\"2\" rtl=\"1\"><Abbrev>he_IL</Abbrev></Language></Languages>"},
        {"a<b\"&", "", "", "",
         "<Languages><Language index=\"1\" rtl=\"0\"><Abbrev>a&lt;b&quot;&amp;"
         "</Abbrev></Language></Languages>"},
        {"", "", "", "", "<Languages></Languages>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ViewOf<Languages_CH>({{"langs_list", row.list},
                                        {"slang", row.slang},
                                        {"intlang", row.intlang},
                                        {"rtl", row.rtl}}),
                  row.view)
            << row.list;
}

TEST(LangListTest, JoinsTheSectionsByDirection) {
    const struct {
        StringMap map;
        std::string view;
    } rows[] = {
        {{{"langs_list", "[ltr] en_US [rtl] he_IL"},
          {"ltr", "\"en_US\" : \"English\""},
          {"rtl", "\"he_IL\" : \"Hebrew (Israel)\""},
          {"langs_ver", "7"}},
         "{\"langList\":{\"ltr\": {\"en_US\" : \"English\"},\"rtl\": {\"he_IL\" : \"Hebrew "
         "&#040;Israel&#041;\"}}"
         ",\"verLang\": 7}"},
        {{{"langs_list", "[superset] a [usual] b"}, {"superset", "A"}, {"usual", "B"}},
         "{\"langList\":{\"ltr\": {A,B},\"rtl\": {}},\"verLang\": 0}"},
        {{{"langs_list", "en_US"}, {"langs_ver", "x1"}},
         "{\"langList\":{\"ltr\": {},\"rtl\": {}},\"verLang\": 0}"},
    };
    for (const auto& row : rows) EXPECT_EQ(ViewOf<LangList_CH>(row.map), row.view);
}

TEST(UIStringsTest, SendsLanguageNamesThenTextsBelow200AndKeepsCDataWhole) {
    StringMap map{{"langs_list", "[ltr] en_US de_DE"},
                  {"en_US", "English"},
                  {"de_DE", "Deutsch"},
                  {"tx_no2", "shadowed by a language"},
                  {"tx_no3", "a ]]> b"},
                  {"tx_no199", "last"},
                  {"tx_no200", "beyond"}};
    EXPECT_EQ(ViewOf<GetUIStrings_CH>(map),
              "<Strings><String id=\"1\"><![CDATA[English]]></String>"
              "<String id=\"2\"><![CDATA[Deutsch]]></String>"
              "<String id=\"3\"><![CDATA[a ]]]]><![CDATA[> b]]></String>"
              "<String id=\"199\"><![CDATA[last]]></String></Strings>");
}

TEST(NavbarTest, TabStatesFollowTheLanguageSectionAndTheWord) {
    const std::string superset = "[superset] en_US [usual] de_DE";
    const struct {
        std::string list, intlang, word, bnr;
        std::string expected;  // nb_spell nb_grammar nb_thes nb_ants imgsp imggr imgth imgant h
    } rows[] = {
        {superset, "en_US", "grammar", "1",
         "spell,,thes,ants,tab_sp_ia,tab_gr_a,tab_th_ia,tab_ant_ia,60"},
        {superset, "en_US", "spell", "0",
         ",grammar,thes,ants,tab_sp_a,tab_gr_ia,tab_th_ia,tab_ant_ia,0"},
        {superset, "de_DE", "grammar", "", "spell,,,,tab_sp_a,tab_gr_e,tab_th_e,tab_th_e,0"},
        {"[superset] en_US", "en_US", "ants", "",
         "spell,grammar,thes,,tab_sp_ia,tab_gr_ia,tab_th_ia,tab_ant_a,0"},
        {"en_US de_DE", "en_US", "foo", "", "spell,,,,tab_sp_a,tab_gr_e,tab_th_e,tab_th_e,0"},
    };
    for (const auto& row : rows) {
        StringMap map{{"langs_list", row.list},
                      {"intlang", row.intlang},
                      {"word", row.word},
                      {"bnr", row.bnr}};
        InternalData data;
        Navbar_CH().apply(map, data);
        std::string got;
        for (const char* key : {"nb_spell", "nb_grammar", "nb_thes", "nb_ants", "imgsp", "imggr",
                                "imgth", "imgant", "bansys_h"})
            got += map[key] + (std::string(key) == "bansys_h" ? "" : ",");
        EXPECT_EQ(got, row.expected) << row.list << " " << row.intlang << " " << row.word;
    }
}

TEST(NavbarTest, UnknownTabFailsWithTheListOfTabs) {
    StringMap map{{"langs_list", "[superset] en_US"}, {"intlang", "en_US"}, {"word", "foo"}};
    InternalData data;
    try {
        Navbar_CH().apply(map, data);
        FAIL() << "no error";
    } catch (const CommandHandler::exception& e) {
        EXPECT_STREQ(e.what(), "Invalid wordparameter. Possible values: spell,grammar,thes,ants");
    }
}

TEST(SimpleCommandsTest, ScriptVersionLogAndClosingPage) {
    StringMap map{{"doc", "qdr"}};
    InternalData data;
    GetScript_CH().apply(map, data);
    EXPECT_EQ(map["ferrix_url"], "<#ferrix_url#>");
    EXPECT_FALSE(data.Find(idkey::ExpandTemplate));
    map["doc"] = "kwirl";
    GetScript_CH().apply(map, data);
    EXPECT_FALSE(data.Get<bool>(idkey::ExpandTemplate));

    map["cmd"] = "xver";
    Version_CH().apply(map, data);
    EXPECT_EQ(data.Get<ContentType>(idkey::ResponseContentType).text, "text/xml");
    EXPECT_EQ(map[":template:"].find("<?xml version=\"1.0\" encoding=\"utf-8\"?><info>\t<script>"),
              0u);
    EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));

    StringMap log{
        {"incoming_word", "teh"}, {"action", "replaceWord"}, {"type", "sp"}, {"result", "the"}};
    Log_CH().apply(log, data);
    EXPECT_EQ(log[":word_org:"], "teh");
    EXPECT_EQ(log["word"], "the");
    EXPECT_EQ(log["action"], "sp_replaceWord");
}

TEST_F(SpellHandlerTest, StatusReportsEveryGroupDownWithA503) {
    EngineIsDown();
    Run<Status_CH>();
    EXPECT_EQ(map["status"], "ERROR,ERROR,ERROR");
    EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "503 Service Unavailable");
}

TEST_F(SpellHandlerTest, FlashSpellEscapesWordsAndLeavesOutWordsWithoutSuggestions) {
    map["text"] = "a <b> x\"y";
    // The fake answers every call alike: the suggestion call reads the same one-line answer.
    EngineAnswers("x\"y:x&y,<z>\nqq:no_any_suggestions\n");
    Run<FlashSpell_CH>();
    const std::string& view = map["view"];
    EXPECT_EQ(view.find("<SpellResult><ProcessedText>"), 0u) << view;
    EXPECT_NE(view.find("<Word Value=\"x&quot;y\">x&amp;y,&lt;z&gt;</Word>"), std::string::npos)
        << view;
    EXPECT_EQ(view.find("qq"), std::string::npos) << view;
    EXPECT_EQ(view.find("<b>"), std::string::npos) << view;
}
