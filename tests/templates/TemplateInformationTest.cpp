#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <stdexcept>

#include "support/TestSupport.h"
#include "templates/CompositeTemplateInformation.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateFileInformation.h"
#include "templates/TemplateNotFound.h"
#include "utils/InternalDataKeys.h"

namespace {

constexpr long long kJan2Of2020 = 1577923200;  // 2020-01-02 00:00:00 UTC

class TemplateFileTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;

    void SetUp() override {
        map[":tmpl_dir:"] = dir.str() + "ie/";
        map[":d_tmpl_d:"] = dir.str() + "default/";
        data.Insert(idkey::IniFileTime, kJan2Of2020 - 86400 * 30);
    }
    std::string WriteDated(const std::string& relative, const std::string& text, long long mtime) {
        const std::string path = dir.Write(relative, text);
        const utimbuf times{static_cast<time_t>(mtime), static_cast<time_t>(mtime)};
        utime(path.c_str(), &times);
        return path;
    }
    TemplateFileInformation Source(const std::string& name) {
        return TemplateFileInformation("text/html; charset=UTF-8", name, map, data, true);
    }
};

class FixedMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    explicit FixedMap(TemplateMap map) : map_(std::move(map)) {}
    TemplateMap operator()(StringMap&, InternalData&) const override { return map_; }

  private:
    TemplateMap map_;
};

}  // namespace

TEST_F(TemplateFileTest, BrowserDirectoryWinsOverTheDefaultOne) {
    dir.Write("default/a.html", "default a");
    dir.Write("default/b.html", "default b");
    dir.Write("ie/a.html", "ie a");
    EXPECT_EQ(Source("a.html").content(), "ie a");
    EXPECT_EQ(Source("b.html").content(), "default b");
    EXPECT_TRUE(Source("b.html").needsIntText());
    EXPECT_EQ(Source("b.html").contentType(), "text/html; charset=UTF-8");
}

TEST_F(TemplateFileTest, MissingFileIsTemplateNotFound) {
    for (const std::string& name : std::vector<std::string>{"missing.html", "", "../outside.html",
                                                            std::string("a.html\0x", 8)}) {
        dir.Write("outside.html", "outside");
        dir.Write("default/a.html", "a");
        try {
            Source(name).content();
            ADD_FAILURE() << "no error for " << name;
        } catch (const TemplateNotFound& e) {
            EXPECT_STREQ(e.what(), "Internal Error. Template not found.");
            EXPECT_EQ(e.file(), "templates/TemplateFileInformation");
        }
    }
}

TEST_F(TemplateFileTest, ChangeDateAfterFileAndIniDatesAnswersNotModified) {
    WriteDated("default/t.html", "full", kJan2Of2020);
    const struct {
        const char* changeDate;
        const char* content;
        bool notModified;
    } rows[] = {
        {"", "full", false},         {"20200102", "full", false},  // equal is not older
        {"20200101", "full", false}, {"20200103", "", true},
        {"2021", "", true},  // compared byte-wise
    };
    for (const auto& row : rows) {
        data.Erase(idkey::HttpStatus);
        map["change_date"] = row.changeDate;
        EXPECT_EQ(Source("t.html").content(), row.content) << row.changeDate;
        EXPECT_EQ(data.Find(idkey::HttpStatus), row.notModified) << row.changeDate;
        if (row.notModified) {
            EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "304");
        }
    }
}

TEST_F(TemplateFileTest, LaterIniFileDateCounts) {
    WriteDated("default/t.html", "full", kJan2Of2020);
    data.Get<long long>(idkey::IniFileTime) = kJan2Of2020 + 86400 * 5;
    map["change_date"] = "20200105";
    EXPECT_EQ(Source("t.html").content(), "full");
}

TEST(TemplateDateTest, DateStampIsUtcYearMonthDay) {
    EXPECT_EQ(TemplateFileInformation::DateStamp(0), "19700101");
    EXPECT_EQ(TemplateFileInformation::DateStamp(kJan2Of2020 - 1), "20200101");
}

TEST(CompositeTemplateTest, SelectorValueChoosesTheSource) {
    StringMap map;
    InternalData data;
    TemplateMap variants;
    variants.set("", TemplateInformationRef::make<InlineTemplateInformation>(
                         "text/xml; charset=UTF-8", "X", false));
    variants.set("json", TemplateInformationRef::make<InlineTemplateInformation>(
                             "text/javascript; charset=UTF-8", "J", true));
    variants.set("hole", TemplateInformationRef());
    CompositeTemplateInformation source(map, data, "format", std::make_shared<FixedMap>(variants));

    EXPECT_EQ(source.content(), "X");
    map["format"] = "json";
    EXPECT_EQ(source.content(), "J");
    EXPECT_EQ(source.contentType(), "text/javascript; charset=UTF-8");
    EXPECT_TRUE(source.needsIntText());
    map["format"] = "xml";
    EXPECT_THROW(source.content(), TemplateInformationAbsent);
    map["format"] = "hole";
    try {
        source.contentType();
        FAIL();
    } catch (const TemplateInformationRef::ENullPointer& e) {
        EXPECT_STREQ(e.what(), "Null pointer access violation");
    }
}

TEST(TemplateMapTest, LookupNeverCreatesEntries) {
    TemplateMap map;
    EXPECT_THROW(map["spell"], TemplateInformationAbsent);
    EXPECT_EQ(map.size(), 0u);
    EXPECT_THROW(*TemplateInformationRef(), TemplateInformationRef::ENullPointer);
}

TEST(TemplateMapTest, CopiesShareTheirEntriesUntilOneIsChanged) {
    const auto Plain = [](const char* text) {
        return TemplateInformationRef::make<InlineTemplateInformation>("text/plain", text, false);
    };
    TemplateMap original;
    EXPECT_EQ(original.sharers(), 0);
    original.set("a", Plain("A"));
    TemplateMap copy = original;
    EXPECT_EQ(original.sharers(), 2);
    copy.set("b", Plain("B"));
    original.set("a", Plain("A2"));
    const struct {
        const TemplateMap* map;
        const char* name;
        const char* text;  // nullptr: absent
    } rows[] = {
        {&original, "a", "A2"}, {&original, "b", nullptr}, {&copy, "a", "A"}, {&copy, "b", "B"}};
    for (const auto& row : rows) {
        if (row.text == nullptr)
            EXPECT_THROW((*row.map)[row.name], TemplateInformationAbsent) << row.name;
        else
            EXPECT_EQ((*row.map)[row.name]->content(), row.text) << row.name;
    }
    EXPECT_EQ(original.sharers(), 1);
    EXPECT_EQ(copy.size(), 2u);
}

namespace {

// A getter that answers the value of "v" of the request it is called for, and counts its calls.
class CountingMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData&) const override {
        ++calls;
        TemplateMap variants;
        variants.set("", TemplateInformationRef::make<InlineTemplateInformation>("text/plain",
                                                                                 map["v"], false));
        return variants;
    }
    mutable int calls = 0;
};

}  // namespace

TEST(CompositeTemplateTest, SharedStoresReadTheBoundRequestAndBuildOncePerRequest) {
    auto stores = std::make_shared<RequestStores>();
    auto getter = std::make_shared<CountingMap>();
    CompositeTemplateInformation source(stores, "format", getter);
    EXPECT_THROW(source.content(), std::logic_error);

    TemplateFileInformation file("text/html", "t.html", stores, false);
    testsupport::TempDir dir;
    const struct {
        const char* value;
        const char* file;
        int uses;
    } requests[] = {{"one", "first", 1}, {"two", "second", 3}, {"two", "third", 2}};
    int calls = 0;
    for (const auto& request : requests) {
        StringMap map;
        InternalData data;
        map["v"] = request.value;
        map[":tmpl_dir:"] = dir.str() + request.file + "/";
        dir.Write(std::string(request.file) + "/t.html", request.file);
        const std::uint64_t before = stores->generation();
        stores->bind(map, data);
        EXPECT_EQ(stores->generation(), before + 1);
        for (int i = 0; i < request.uses; ++i) EXPECT_EQ(source.content(), request.value);
        EXPECT_EQ(file.content(), request.file);
        EXPECT_EQ(getter->calls, ++calls) << request.value;
    }
}
