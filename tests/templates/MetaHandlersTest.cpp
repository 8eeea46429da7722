#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "templates/BanSysMetaHandler.h"
#include "templates/CheckSpellingJSONMetaHandler.h"
#include "templates/CheckSpellingXMLMetaHandler.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"

namespace {

class CheckSpellingTest : public ::testing::Test {
  protected:
    StringMap map;
    InternalData data;

    void Results(CheckSpellingSuggestions words, CheckSpellingPositions positions) {
        data.Insert(idkey::CheckSpellingSuggestions, std::move(words));
        data.Insert(idkey::CheckSpellingPositions, std::move(positions));
    }
    std::string Xml() {
        return CheckSpellingXMLMetaHandler(data).render({"check_spelling_xml"}, map);
    }
    std::string Json() {
        return CheckSpellingJSONMetaHandler(data).render({"check_spelling_json"}, map);
    }
};

}  // namespace

TEST_F(CheckSpellingTest, WordsGiveOneEntryPerDistinctWord) {
    Results({{"teh", {"the", "ten"}}, {"xz", {""}}},
            {{"teh", {0, 3}}, {"teh", {8, 3}}, {"xz", {4, 2}}});
    EXPECT_EQ(Xml(),
              "<misspelling><word>teh</word><suggestions><suggestion>the</"
              "suggestion><suggestion>ten</suggestion>"
              "</suggestions></misspelling><misspelling><word>xz</word><suggestions><suggestion></"
              "suggestion>"
              "</suggestions></misspelling>");
    EXPECT_EQ(Json(),
              "[{\"word\": \"teh\", \"suggestions\": [\"the\", \"ten\"]}, {\"word\": \"xz\", "
              "\"suggestions\": "
              "[\"\"]}]");
}

TEST_F(CheckSpellingTest, PositionsGiveOneEntryPerOccurrence) {
    map["out_type"] = "positions";
    Results({{"teh", {"the"}}}, {{"teh", {0, 3}}, {"teh", {12, 3}}});
    EXPECT_EQ(Xml(),
              "<misspelling><position>0</position><length>3</length><suggestions><suggestion>the</"
              "suggestion>"
              "</suggestions></misspelling><misspelling><position>12</position><length>3</"
              "length><suggestions>"
              "<suggestion>the</suggestion></suggestions></misspelling>");
    EXPECT_EQ(Json(),
              "[{\"position\": 0, \"length\": 3, \"suggestions\": [\"the\"]}, {\"position\": 12, "
              "\"length\": 3, "
              "\"suggestions\": [\"the\"]}]");
}

TEST_F(CheckSpellingTest, NoMisspellingsGiveEmptyAnswers) {
    Results({}, {});
    EXPECT_EQ(Xml(), "");
    EXPECT_EQ(Json(), "[]");
    map["out_type"] = "positions";
    EXPECT_EQ(Json(), "[]");
}

TEST_F(CheckSpellingTest, WordsAndSuggestionsAreEscapedForTheirFormat) {
    Results({{"a&b<", {"say \"hi\"", "back\\slash"}}}, {{"a&b<", {0, 4}}});
    EXPECT_EQ(Xml(),
              "<misspelling><word>a&amp;b&lt;</word><suggestions><suggestion>say "
              "&quot;hi&quot;</suggestion>"
              "<suggestion>back\\slash</suggestion></suggestions></misspelling>");
    EXPECT_EQ(Json(),
              "[{\"word\": \"a&b<\", \"suggestions\": [\"say \\\"hi\\\"\", \"back\\\\slash\"]}]");
}

TEST_F(CheckSpellingTest, MissingResultsFail) {
    EXPECT_THROW(Xml(), InternalData::ValueNotFound);
    data.Insert(idkey::CheckSpellingSuggestions, CheckSpellingSuggestions{});
    data.Insert(idkey::CheckSpellingPositions, std::string("wrong type"));
    EXPECT_THROW(Json(), InternalData::TypeMismatch);
}

TEST(BanSysTest, CandidateOrderDependsOnTheBannerNumber) {
    StringMap map{{":short_id:", "S"}, {"bnr", "2"}, {"schema", "blue"}, {"schema_def", "def"}};
    EXPECT_EQ(BanSysMetaHandler::Candidates(map, 2),
              (std::vector<std::string>{"id.S", "bs.2", "lf.blue", "lf.def"}));
    map["bnr"] = "7";
    EXPECT_EQ(BanSysMetaHandler::Candidates(map, 7),
              (std::vector<std::string>{"bs.7", "id.S", "lf.blue", "lf.def"}));
}

TEST(BanSysTest, RendersFirstBannerFileOrTheDefault) {
    testsupport::TempDir dir;
    dir.Write("bansys.bs.7", "seven");
    dir.Write("bansys.lf.blue", "blue");
    StringMap map{{":banr_dir:", dir.str() + "bansys."}, {"schema", "blue"}};
    BanSysMetaHandler banner;
    const struct {
        const char* bnr;
        const char* expected;
    } rows[] = {
        {"", BanSysMetaHandler::kDefaultAnswer},
        {"0", BanSysMetaHandler::kDefaultAnswer},
        {"abc", BanSysMetaHandler::kDefaultAnswer},
        {"7", "seven"},
        {"1", "blue"},
        {"99999999999999999999999", BanSysMetaHandler::kDefaultAnswer},
    };
    for (const auto& row : rows) {
        map["bnr"] = row.bnr;
        EXPECT_EQ(banner.render({"bansys"}, map), row.expected) << row.bnr;
    }
    map["schema"] = "none";
    map["bnr"] = "3";
    EXPECT_EQ(banner.render({"bansys"}, map), BanSysMetaHandler::kDefaultAnswer);
}

TEST(BanSysTest, RequestValuesCannotLeaveTheBannerDirectory) {
    testsupport::TempDir dir;
    dir.Write("secret", "secret");
    dir.Write("banners/bansys.lf.x/.keep", "");
    StringMap map{
        {":banr_dir:", dir.str() + "banners/bansys."}, {"bnr", "3"}, {"schema", "x/../../secret"}};
    EXPECT_EQ(BanSysMetaHandler().render({"bansys"}, map), BanSysMetaHandler::kDefaultAnswer);
}
