#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "spell/AspellBackend.h"
#include "suggest/LanguageSuggester.h"
#include "suggest/SuggestionIndexFile.h"
#include "suggest/SymmetricDeleteIndex.h"
#include "suggest/WordListIdentity.h"
#include "support/TestSupport.h"

namespace {

const std::vector<std::string> kWords = {"brown", "crown",  "friend",  "fiend",     "with",
                                         "wish",  "Straße", "strasse", "something", "the"};
const std::vector<std::string> kTyped = {
    "brwon", "freind", "wih", "strase", "smthing", "teh", "", "x", "brownbrownbrownbrown"};

// The words near each typed word, sorted, as one comparable value.
std::vector<std::string> NearAll(const SymmetricDeleteIndex& index) {
    std::vector<std::string> out;
    for (const std::string& typed : kTyped) {
        std::vector<std::string> words;
        for (const auto& m : index.Near(typed)) words.push_back(m.word);
        std::sort(words.begin(), words.end());
        for (const std::string& w : words) out.push_back(typed + ">" + w);
    }
    return out;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

template <typename T>
void Put(std::string& bytes, size_t at, T value) {
    if (at + sizeof value <= bytes.size()) std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Where the header keeps each field (the layout the file format documents).
constexpr size_t kVersionAt = 8, kFileBytesAt = 16, kIdentityBytesAt = 24, kTablesAt = 32;

}  // namespace

// A stored index answers as the one it was made from; a file of another word list, of another
// format or damaged anywhere in its header or table bounds is refused, never read out of bounds.
TEST(SuggestionIndexFileTest, StoredIndexAnswersAsBuiltAndDamagedFilesAreRefused) {
    testsupport::TempDir dir;
    const std::string path = dir.str() + "sub/words.index";
    const SymmetricDeleteIndex built(kWords);
    ASSERT_TRUE(SuggestionIndexFile::Store(path, "id 1\n", built));
    const auto loaded = SuggestionIndexFile::Load(path, "id 1\n");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->words(), built.words());
    EXPECT_EQ(NearAll(*loaded), NearAll(built));
    const std::string good = ReadAll(path);

    const struct {
        const char* name;
        std::function<void(std::string&)> damage;
        const char* identity;
    } rows[] = {
        {"another word list", [](std::string&) {}, "id 2\n"},
        {"empty identity", [](std::string&) {}, ""},
        {"magic", [](std::string& b) { b[0] = 'X'; }, "id 1\n"},
        {"version", [](std::string& b) { Put<uint32_t>(b, kVersionAt, 99); }, "id 1\n"},
        {"byte order", [](std::string& b) { Put<uint32_t>(b, kVersionAt + 4, 0x04030201); },
         "id 1\n"},
        {"size", [](std::string& b) { Put<uint64_t>(b, kFileBytesAt, b.size() + 8); }, "id 1\n"},
        {"identity length", [](std::string& b) { Put<uint64_t>(b, kIdentityBytesAt, ~0ull); },
         "id 1\n"},
        {"truncated", [](std::string& b) { b.resize(b.size() - 8); }, "id 1\n"},
        {"empty", [](std::string& b) { b.clear(); }, "id 1\n"},
        {"header only", [](std::string& b) { b.resize(40); }, "id 1\n"},
        {"table past the end",
         [](std::string& b) { Put<uint64_t>(b, kTablesAt + 3 * 16, b.size() - 8); }, "id 1\n"},
        {"table count huge", [](std::string& b) { Put<uint64_t>(b, kTablesAt + 8, ~0ull / 2); },
         "id 1\n"},
        {"table misaligned", [](std::string& b) { Put<uint64_t>(b, kTablesAt + 16, 121); },
         "id 1\n"},
        {"offsets one short",
         [](std::string& b) {
             uint64_t count = 0;
             std::memcpy(&count, b.data() + kTablesAt + 16 + 8, 8);
             Put<uint64_t>(b, kTablesAt + 16 + 8, count - 1);
         },
         "id 1\n"},
        {"bucket count", [](std::string& b) { Put<uint64_t>(b, kTablesAt + 4 * 16 + 8, 7); },
         "id 1\n"},
    };
    for (const auto& row : rows) {
        std::string bytes = good;
        row.damage(bytes);
        WriteAll(path, bytes);
        EXPECT_FALSE(SuggestionIndexFile::Load(path, row.identity)) << row.name;
    }
    EXPECT_FALSE(SuggestionIndexFile::Load(dir.str() + "missing.index", "id 1\n"));
}

// Damage inside the tables (word numbers, offsets, buckets, letters) passes the header checks:
// every byte changed in turn must still give a refusal or some answer, never a bad read (the
// AddressSanitizer build runs this too).
TEST(SuggestionIndexFileTest, DamagedTablesNeverReadOutOfBounds) {
    testsupport::TempDir dir;
    const std::string path = dir.str() + "words.index";
    ASSERT_TRUE(SuggestionIndexFile::Store(path, "id", SymmetricDeleteIndex(kWords)));
    const std::string good = ReadAll(path);
    std::vector<uint64_t> aligned((good.size() + 7) / 8);
    std::memcpy(aligned.data(), good.data(), good.size());
    auto* bytes = reinterpret_cast<unsigned char*>(aligned.data());
    // Every byte of the header, the words and the keys; a sample of the bucket table.
    constexpr size_t kEveryByteUpTo = 4096, kSampleStep = 4099;
    size_t accepted = 0;
    for (size_t at = 0; at < good.size(); at += at < kEveryByteUpTo ? 1 : kSampleStep)
        for (const unsigned char flip : {0x01, 0xff}) {
            bytes[at] ^= flip;
            const auto index = SuggestionIndexFile::FromBytes(
                {reinterpret_cast<const std::byte*>(bytes), good.size()}, "id", nullptr);
            if (index) {
                ++accepted;
                NearAll(*index);
            }
            bytes[at] ^= flip;
        }
    EXPECT_GT(accepted, 0u);  // the table damage reached the look-ups
}

TEST(WordListIdentityTest, SameBytesSameIdentityWhateverThePath) {
    testsupport::TempDir dir;
    const std::string a = dir.Write("a.dic", "2\nbrown\ncrown\n");
    const std::string b = dir.Write("elsewhere/b.dic", "2\nbrown\ncrown\n");
    const std::string c = dir.Write("c.dic", "2\nbrown\nclown\n");
    const std::string aff = dir.Write("a.aff", "SET UTF-8\n");
    std::filesystem::create_symlink(a, dir.str() + "link.dic");
    const struct {
        std::vector<std::string> left, right;
        bool same;
    } rows[] = {
        {{aff, a}, {aff, b}, true},  {{aff, a}, {aff, dir.str() + "link.dic"}, true},
        {{aff, a}, {aff, c}, false}, {{aff, a}, {a, aff}, false},  // order is part of it
        {{a}, {aff, a}, false},
    };
    for (const auto& row : rows) {
        const WordListIdentity left = WordListIdentity::Of(row.left);
        const WordListIdentity right = WordListIdentity::Of(row.right);
        ASSERT_FALSE(left.empty());
        EXPECT_EQ(left.text() == right.text(), row.same) << right.text();
        EXPECT_EQ(left.fileName() == right.fileName(), row.same);
    }
    EXPECT_TRUE(WordListIdentity::Of({}).empty());
    EXPECT_TRUE(WordListIdentity::Of({a, dir.str() + "missing.dic"}).empty());
    EXPECT_TRUE(WordListIdentity::Of({dir.Write("empty.dic", "")}).empty());
}

TEST(AspellWordListFilesTest, MultiFilesAreFollowedWithinBounds) {
    testsupport::TempDir dir;
    const std::string d = dir.path().string();
    dir.Write("xx.multi", "# comment\nadd xx-common.rws\nadd xx-only.multi\nadd  \n");
    dir.Write("xx-only.multi", "add /abs/xx-only.rws\r\n");
    dir.Write("loop.multi", "add loop.multi\nadd loop.multi\nadd loop.multi\nadd loop.multi\n");
    std::string many;
    for (int i = 0; i < 100; ++i) many += "add w" + std::to_string(i) + ".rws\n";
    dir.Write("many.multi", many);
    const struct {
        const char* language;
        std::vector<std::string> files;
        size_t count;
    } rows[] = {
        {"xx", {d + "/xx-common.rws", "/abs/xx-only.rws"}, 2},
        {"missing", {}, 0},
        {"loop", {}, 0},  // ends at the depth limit
        {"many", {}, AspellBackend::kMaxWordListFiles},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> files = AspellBackend::WordListFiles(d, row.language);
        EXPECT_EQ(files.size(), row.count) << row.language;
        if (!row.files.empty()) {
            EXPECT_EQ(files, row.files);
        }
    }
}

// A second suggester over the same stored file maps it at Start and never builds; one whose
// word list changed builds again and replaces the file; without a file it builds in memory.
TEST(LanguageSuggesterTest, StoredIndexIsMappedAtStartAndRebuiltWhenStale) {
    testsupport::TempDir dir;
    const auto tiers = std::make_shared<const WordTiers>(WordTiers::Parse("brown\t10\n"));
    int builds = 0;
    const auto words = [&](const WordTiers&) {
        ++builds;
        return kWords;
    };
    const std::string path = dir.str() + "idx/words.index";
    const struct {
        const char* name;
        LanguageSuggester::StoredIndex stored;
        bool startNeedsBuild;
        int builds;
    } rows[] = {
        {"first start", {path, "v1"}, true, 1},
        {"same word list", {path, "v1"}, false, 1},
        {"changed word list", {path, "v2"}, true, 2},
        {"after the change", {path, "v2"}, false, 2},
        {"not stored", {}, true, 3},
    };
    for (const auto& row : rows) {
        LanguageSuggester suggester("en", tiers, words, row.stored);
        EXPECT_EQ(suggester.Start(), row.startNeedsBuild) << row.name;
        EXPECT_FALSE(suggester.Start()) << row.name;  // once only
        if (row.startNeedsBuild) suggester.Prepare();
        EXPECT_TRUE(suggester.ready()) << row.name;
        EXPECT_EQ(builds, row.builds) << row.name;
        const auto list = suggester.Suggest(
            "brwon", 3, [](std::string_view) { return std::vector<std::string>{}; });
        ASSERT_FALSE(list.empty()) << row.name;
        EXPECT_EQ(list[0], "brown") << row.name;
    }
    std::atomic<bool> stop{true};
    LanguageSuggester stopped("en", tiers, words, {dir.str() + "other.index", "v1"});
    stopped.Prepare(&stop);
    EXPECT_FALSE(stopped.ready());
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "other.index"));
}
