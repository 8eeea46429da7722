// The relay's cache of service-host files, with a chosen clock and chosen file times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"
#include "templates/DefaultedCachedTemplateFileInformation.h"
#include "templates/TemplateMap.h"
#include "templates/TemplateNotFound.h"
#include "utils/InternalDataKeys.h"

using FetchResult = CachedTemplateFileInformation::FetchResult;

namespace {

long long Utc(int year, int month, int day, int hour) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    return static_cast<long long>(timegm(&tm));
}

const long long kNow = Utc(2026, 6, 15, 12);
const long long kModified = Utc(2026, 6, 1, 9);

class CachedTemplateFileInformationTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;
    int fetches = 0;
    std::string sentChangeDate;
    FetchResult answer = FetchResult::Answered;
    std::string served = "fresh from the service";
    std::string cacheControl;

    void SetUp() override {
        data.Set<std::string>(idkey::CachePath, dir.str() + "c");
        data.Set<long long>(idkey::IniFileTime, kModified - 100);
    }

    CachedTemplateFileInformation::Fetch Fetch() {
        return [this](StringMap& m, InternalData& d) {
            ++fetches;
            sentChangeDate = m["change_date"];
            m[":template:"] = served;
            if (!cacheControl.empty()) d.Set(idkey::HttpCacheControl, cacheControl);
            return answer;
        };
    }
    std::string Read(const std::string& name = "kwirl.css") {
        return CachedTemplateFileInformation("text/css", name, map, data, Fetch(),
                                             [] { return kNow; })
            .content();
    }
    std::string CachePath(const std::string& name = "kwirl.css") {
        return dir.str() + "c/ferrix_cache/" + name;
    }
    void Cache(const std::string& text, long long accessed, long long modified = kModified) {
        dir.Write("c/ferrix_cache/kwirl.css", text);
        const timespec times[2] = {{static_cast<time_t>(accessed), 0},
                                   {static_cast<time_t>(modified), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, CachePath().c_str(), times, 0), 0);
    }
};

}  // namespace

TEST_F(CachedTemplateFileInformationTest, CopyReadTodayIsServedWithoutAskingTheService) {
    Cache("cached", Utc(2026, 6, 15, 1));
    EXPECT_EQ(Read(), "cached");
    EXPECT_EQ(fetches, 0);
    EXPECT_EQ(map[":tmpl_dir:"], dir.str() + "c/ferrix_cache/");
}

TEST_F(CachedTemplateFileInformationTest, CopyReadYesterdayIsRevalidatedWithItsDate) {
    Cache("cached", Utc(2026, 6, 14, 23));
    answer = FetchResult::NotModified;
    EXPECT_EQ(Read(), "cached");
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(sentChangeDate, "20260601");
}

TEST_F(CachedTemplateFileInformationTest, CopyOlderThanTheIniFileIsFetchedWithoutDate) {
    Cache("cached", Utc(2026, 6, 15, 1));
    data.Set<long long>(idkey::IniFileTime, kModified + 1);
    map["change_date"] = "20991231";  // a request value must not survive
    EXPECT_EQ(Read(), "fresh from the service");
    EXPECT_EQ(sentChangeDate, "");
    EXPECT_EQ(testsupport::ReadFile(CachePath()), "fresh from the service");
}

TEST_F(CachedTemplateFileInformationTest, MissingCopyIsFetchedAndStoredUnderTheSchema) {
    map["schema"] = "skin2";
    EXPECT_EQ(Read(), "fresh from the service");
    EXPECT_EQ(testsupport::ReadFile(dir.str() + "c/ferrix_cache/skin2/kwirl.css"),
              "fresh from the service");
}

TEST_F(CachedTemplateFileInformationTest, AnswersThatMustNotBeKeptAreRelayedOnly) {
    for (const char* control :
         {"no-cache", "private, No-Cache", "no-store", "NO-STORE, max-age=0"}) {
        Cache("cached", Utc(2026, 6, 10, 1));
        cacheControl = control;
        EXPECT_EQ(Read(), "fresh from the service") << control;
        EXPECT_EQ(testsupport::ReadFile(CachePath()), "cached") << control;
    }
    data.Erase(idkey::HttpCacheControl);
    cacheControl.clear();
    data.Set<std::string>(idkey::HttpStatus, "503");
    EXPECT_EQ(Read(), "fresh from the service");
    EXPECT_EQ(testsupport::ReadFile(CachePath()), "cached");
}

TEST_F(CachedTemplateFileInformationTest, TheCacheKeepsWithinItsBounds) {
    for (size_t i = 0; i < CachedTemplateFileInformation::kMaxCacheFiles; ++i)
        dir.Write("c/ferrix_cache/s" + std::to_string(i % 3) + "/f" + std::to_string(i), "x");
    EXPECT_EQ(Read("one-more.gif"), "fresh from the service");
    EXPECT_FALSE(std::filesystem::exists(CachePath("one-more.gif")));
    dir.Write("c/ferrix_cache/kwirl.css", "old");  // a copy already there is still refreshed
    EXPECT_EQ(Read(), "fresh from the service");
    EXPECT_EQ(testsupport::ReadFile(CachePath()), "fresh from the service");

    data.Set<std::string>(idkey::CachePath, dir.str() + "d");
    served = std::string(CachedTemplateFileInformation::kMaxCacheFileBytes + 1, 'b');
    EXPECT_EQ(Read("big.gif").size(), served.size());
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "d/ferrix_cache/big.gif"));
}

TEST_F(CachedTemplateFileInformationTest, UnwritableCacheStillAnswers) {
    dir.Write("plain-file", "x");
    data.Set<std::string>(idkey::CachePath, dir.str() + "plain-file");
    EXPECT_EQ(Read(), "fresh from the service");
}

TEST_F(CachedTemplateFileInformationTest, SchemaBecomesADirectoryOnlyWhenItIsAPlainName) {
    struct Case {
        const char* schema;
        const char* directory;
    };
    for (const Case& c : {Case{"skin1", "c/ferrix_cache/skin1/"}, Case{"", "c/ferrix_cache/"},
                          Case{"../../cgi-bin", "c/ferrix_cache/"}, Case{"a/b", "c/ferrix_cache/"},
                          Case{"..", "c/ferrix_cache/"}}) {
        map["schema"] = c.schema;
        EXPECT_EQ(CachedTemplateFileInformation::CacheDirectory(map, data), dir.str() + c.directory)
            << c.schema;
    }
    data.Set<std::string>(idkey::CacheDirName, "mine");
    data.Erase(idkey::CachePath);
    map["schema"] = "";
    EXPECT_EQ(CachedTemplateFileInformation::CacheDirectory(map, data), "mine/");
}

TEST_F(CachedTemplateFileInformationTest, FileNameOutsideTheCacheIsRefused) {
    EXPECT_THROW(Read("../x.js"), TemplateInformationAbsent);
    EXPECT_EQ(fetches, 0);
}

TEST_F(CachedTemplateFileInformationTest, ReplacingACopyLeavesOpenReadersTheWholeOldCopy) {
    Cache(std::string(100000, 'o'), Utc(2026, 6, 1, 1));
    std::ifstream reader(CachePath(), std::ios::binary);
    served = "new";
    EXPECT_EQ(Read(), "new");
    const std::string old((std::istreambuf_iterator<char>(reader)),
                          std::istreambuf_iterator<char>());
    EXPECT_EQ(old.size(), 100000u);
    EXPECT_EQ(testsupport::ReadFile(CachePath()), "new");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(dir.str() + "c/ferrix_cache"))
        ++entries;
    EXPECT_EQ(entries, 1u);  // no temporary file left behind
}

TEST_F(CachedTemplateFileInformationTest, DefaultedSourceStandsInWhenTheServiceCannot) {
    const auto read = [&](CachedTemplateFileInformation::Fetch fetch) {
        return DefaultedCachedTemplateFileInformation("text/xsl", "error.xsl", map, data,
                                                      std::move(fetch), "DEFAULT",
                                                      [] { return kNow; })
            .content();
    };
    EXPECT_EQ(read(Fetch()), "fresh from the service");
    EXPECT_EQ(read([](StringMap&, InternalData&) -> FetchResult {
                  throw TemplateNotFound("down", "x", 1);
              }),
              "DEFAULT");
    cacheControl = "no-cache";
    std::filesystem::remove(CachePath("error.xsl"));
    EXPECT_EQ(read(Fetch()), "DEFAULT");
}
