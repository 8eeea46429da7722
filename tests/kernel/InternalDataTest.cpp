#include <gtest/gtest.h>

#include "kernel/ContentType.h"
#include "utils/InternalData.h"
#include "utils/InternalDataKeys.h"
#include "utils/StringMap.h"

TEST(InternalDataTest, InsertNeverOverwrites) {
    InternalData data;
    data.Insert(idkey::ExpandTemplate, true);
    data.Insert(idkey::ExpandTemplate, false);
    EXPECT_TRUE(data.Get<bool>(idkey::ExpandTemplate));
}

TEST(InternalDataTest, GetThrowsOnAbsentKeyAndOnOtherType) {
    InternalData data;
    EXPECT_THROW(data.Get<bool>(3), InternalData::ValueNotFound);
    data.Insert(idkey::ResponseContentType, ContentType{"text/html"});
    EXPECT_THROW(data.Get<bool>(idkey::ResponseContentType), InternalData::TypeMismatch);
    EXPECT_EQ(data.Get<ContentType>(idkey::ResponseContentType).text, "text/html");
}

TEST(InternalDataTest, GetOrFallsBackOnAbsentKeyAndOnOtherType) {
    InternalData data;
    EXPECT_TRUE(data.GetOr(idkey::LoadTemplate, true));
    data.Insert(idkey::ResponseContentType, ContentType{"text/html"});
    EXPECT_EQ(data.GetOr<bool>(idkey::ResponseContentType, true), true);
    data.Insert(idkey::LoadTemplate, false);
    EXPECT_FALSE(data.GetOr(idkey::LoadTemplate, true));
}

TEST(InternalDataTest, GetReferenceChangesValueInPlaceAndSetOverwrites) {
    InternalData data;
    data.Insert<std::string>(idkey::HttpStatus, "200");
    data.Get<std::string>(idkey::HttpStatus) = "304";
    EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "304");
    data.Set<std::string>(idkey::HttpStatus, "404");
    EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "404");
}

TEST(InternalDataTest, CopyClonesEveryValue) {
    InternalData original;
    original.Insert(idkey::IniKeys, std::vector<std::string>{"a"});
    InternalData copy = original;
    copy.Get<std::vector<std::string>>(idkey::IniKeys).push_back("b");
    EXPECT_EQ(original.Get<std::vector<std::string>>(idkey::IniKeys).size(), 1u);
    EXPECT_EQ(copy.Get<std::vector<std::string>>(idkey::IniKeys).size(), 2u);
}

TEST(StringMapTest, ReadingAbsentKeyCreatesItEmpty) {
    StringMap map;
    EXPECT_EQ(map["missing"], "");
    EXPECT_EQ(map.count("missing"), 1u);
}
