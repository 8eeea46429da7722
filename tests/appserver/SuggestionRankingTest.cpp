#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/ServerConfig.h"
#include "dict/SqliteDictionaryStore.h"
#include "spell/HunspellBackend.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellService.h"
#include "spell/SuggestionCache.h"
#include "suggest/LanguageSuggester.h"
#include "suggest/Letters.h"
#include "suggest/SoundKey.h"
#include "suggest/SuggestionRanker.h"
#include "suggest/SymmetricDeleteIndex.h"
#include "suggest/TypingDistance.h"
#include "suggest/WordTiers.h"
#include "support/TestSupport.h"

namespace {

double Distance(const char32_t* typed, const char32_t* word) {
    return TypingDistance::Between(typed, word);
}

// The engine's suggestions for one language on a back end, with the word tiers the build made.
class Ranked {
  public:
    static Ranked& Get(const std::string& language, const std::string& backend = "aspell") {
        static Ranked english("en_US", "aspell"), german("de_DE", "aspell"),
            englishHunspell("en_US", "hunspell"), hunspellAlone("en_US", "hunspell alone"),
            brokenAspell("en_US", "hunspell broken");
        if (backend == "hunspell") return englishHunspell;
        if (backend == "hunspell alone") return hunspellAlone;  // no Aspell dictionary to ask
        if (backend == "hunspell broken") return brokenAspell;  // one that does not open
        return language == "de_DE" ? german : english;
    }
    std::vector<std::string> Suggest(const std::string& word) {
        return service_.SuggestWord(language_, word);
    }
    const SpellerPool* Pool() const { return languages_.Find(language_); }

  private:
    ServerConfig Config(const std::string& language, const std::string& backend) const {
        ServerConfig config;
        config.languages = {language};
        config.backends[language] = backend.substr(0, backend.find(' '));
        if (backend.ends_with(" alone")) config.aspellDir = "/nonexistent";
        if (backend.ends_with(" broken")) {
            std::ofstream(dir_.str() + language + ".multi") << "add missing.rws\n";
            config.aspellDir = dir_.str();
        }
        return config;
    }
    Ranked(std::string language, const std::string& backend)
        : language_(std::move(language)),
          languages_(Config(language_, backend)),
          dictionaries_(dir_.str() + "d.db"),
          cache_(0),
          service_(languages_, dictionaries_, cache_, 10, APPSERVER_DATA_DIR,
                   std::string(VERBARIUM_BINARY_DIR) + "/suggestion-index") {
        service_.PrepareSuggestions();
    }

    const std::string language_;
    testsupport::TempDir dir_;
    LanguageRegistry languages_;
    SqliteDictionaryStore dictionaries_;
    SuggestionCache cache_;
    SpellService service_;
};

}  // namespace

TEST(TypingDistanceTest, CommonSlipsCostLessThanOtherEdits) {
    const struct {
        const char32_t* typed;
        const char32_t* word;
        double cost;
    } rows[] = {
        {U"the", U"the", 0},
        {U"teh", U"the", TypingDistance::kSwap},
        {U"ocured", U"occured", TypingDistance::kDoubling},
        {U"untill", U"until", TypingDistance::kDoubling},
        {U"brpwn", U"brown", TypingDistance::kNeighbourKey},
        {U"seperate", U"separate", TypingDistance::kVowelForVowel},
        {U"bxown", U"brown", 1},
        {U"brwn", U"brown", TypingDistance::kDroppedLetter},
        {U"appeares", U"appears", TypingDistance::kExtraE},
        {U"develope", U"develop", TypingDistance::kExtraE},
        {U"eappears", U"appears", 1},  // not where a silent "e" goes
        {U"conceed", U"concede", TypingDistance::kSwap},
        {U"", U"abc", 3 * TypingDistance::kDroppedLetter},
        {U"abc", U"", 3},
        {U"acomodate", U"accommodate", 2 * TypingDistance::kDoubling},
        {U"zürich", U"zurich", TypingDistance::kAccent},
        {U"maedchen", U"mädchen", TypingDistance::kSpelledOut},
        {U"strasse", U"straße", TypingDistance::kSpelledOut},
        {U"ünter", U"unter", TypingDistance::kAccent},
        {U"öl", U"al", 1},
        // Past 64 letters the table rows are kept on the heap.
        {U"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz",
         U"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxzy",
         TypingDistance::kSwap},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(Distance(row.typed, row.word), row.cost) << static_cast<int>(row.typed[0]);
    EXPECT_TRUE(TypingDistance::Neighbours(U'a', U'q'));
    EXPECT_TRUE(TypingDistance::Neighbours(U'z', U'y'));
    EXPECT_FALSE(TypingDistance::Neighbours(U'a', U'p'));
    EXPECT_FALSE(TypingDistance::Neighbours(U'é', U'e'));
    EXPECT_TRUE(TypingDistance::Neighbours(U'ö', U'l'));
    EXPECT_EQ(TypingDistance::Base(U'é'), U'e');
    EXPECT_EQ(TypingDistance::Base(U'ß'), U'ß');
}

TEST(LettersTest, CapitalsAreFoundInUtf8) {
    const struct {
        const char* word;
        bool capital;
    } rows[] = {
        {"brown", false}, {"Brown", true},   {"brOwn", true}, {"élan", false},
        {"Élan", true},   {"straße", false}, {"", false},     {"\xff\xfe", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Letters::HasCapitalUtf8(row.word), row.capital) << row.word;
}

TEST(SymmetricDeleteIndexTest, FindsWordsWithinTwoEditsInAnyCase) {
    const SymmetricDeleteIndex index({"brown", "Brown", "crown", "browning", "first", "frost",
                                      "international", "internationally", "b"});
    EXPECT_EQ(index.words(), 9u);
    const struct {
        const char* typed;
        std::vector<std::string> found;
    } rows[] = {
        {"brwon", {"Brown", "brown", "crown"}},
        {"BROWN", {"Brown", "brown", "crown"}},
        {"frist", {"first", "frost"}},
        {"intrenationaly", {"international", "internationally"}},  // edits past the prefix
        {"xyzzy", {}},
        {"", {}},
        {"\xff\xfe", {}},  // not UTF-8
        {"bb", {"b"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> found;
        for (const auto& m : index.Near(row.typed)) found.push_back(m.word);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, row.found) << row.typed;
    }
    EXPECT_TRUE(index.Near(std::string(100, 'a')).empty());  // too long to look up
}

TEST(SymmetricDeleteIndexTest, RepeatsAreFiledOnceAndAStopLeavesTheRestOut) {
    EXPECT_EQ(SymmetricDeleteIndex({"brown", "crown", "brown"}).words(), 2u);
    const std::atomic<bool> stop{true};
    EXPECT_EQ(SymmetricDeleteIndex({"brown", "crown"}, &stop).words(), 0u);
}

TEST(SoundKeyTest, WordsThatSoundAlikeShareTheirKey) {
    const struct {
        const char* typed;
        const char* word;
        bool same;
        SoundKey::Spelling spelling = SoundKey::Spelling::kEnglish;
    } rows[] = {
        {"sertain", "certain", true},
        {"fisical", "physical", true},
        {"fone", "phone", true},
        {"rite", "write", true},
        {"stummak", "stomach", false},
        {"sity", "city", true},
        {"fuer", "für", true},
        {"brown", "crown", false},
        {"tought", "taut", true},
        {"acomodate", "accommodate", true},
        {"fiter", "filter", false},
        {"", "", true},
        {"tast", "taste", true},
        {"tast", "tasty", false},
        {"e", "", false},
        {"haus", "hause", false, SoundKey::Spelling::kAny},
    };
    for (const auto& row : rows) {
        const auto key = [&](const char* w) {
            return SoundKey::Of(Letters::Lower(Letters::FromUtf8(w)), row.spelling);
        };
        EXPECT_EQ(key(row.typed) == key(row.word), row.same) << row.typed << " " << row.word;
    }
}

TEST(SuggestionRankerTest, EachTermOfTheCostCountsOnce) {
    const auto tiers = std::make_shared<const WordTiers>(WordTiers::Parse(
        "church\t10\nchurches\t20\nchurch's\t20\ntriggered\t35\n"
        "triggers\t35\nkey\t10\nbrown\t10\nBrown\t10\ncrown\t10\nninety\t20\nminty\t20\n"
        "in\t10\nfact\t10\n"));
    const SuggestionRanker ranker(tiers), english(tiers, SoundKey::Spelling::kEnglish);
    const auto cost = [&](const char* typed, const char* word, bool inEnglish = false) {
        return (inEnglish ? english : ranker).CostOf(typed, {word, -1, -1});
    };
    const struct {
        const char* typed;
        const char* cheaper;
        const char* dearer;
        double difference;
        bool english = false;
    } rows[] = {
        {"churchs", "churches", "church's", SuggestionRanker::kPossessiveCost},
        {"triggerd", "triggered", "triggers",
         SuggestionRanker::kEndingCost + TypingDistance::kNeighbourKey -
             TypingDistance::kDroppedLetter},
        {"brwon", "brown", "Brown", SuggestionRanker::kCapitalCost},
        // The same letters with a capital: a name typed in lower case pays no capital cost.
        {"brown", "Brown", "crown", 1 + SuggestionRanker::kFirstLetterCost},
        {"Brwon", "Brown", "brown", 0},
        // Two words cost the split and the rarity of the rarer, not the blank as a letter.
        {"keyboard", "keyboard", "key board", SuggestionRanker::kLongSplitCost},
        // A blank dropped after a short common word is a common slip; between other words the
        // library's split is seldom what was meant.
        {"infact", "in fact", "inf act",
         SuggestionRanker::kLongSplitCost - SuggestionRanker::kSplitCost +
             SuggestionRanker::kRarityWeight * SuggestionRanker::kRareWordCost},
        {"Infact", "In fact", "Inf act",
         SuggestionRanker::kLongSplitCost - SuggestionRanker::kSplitCost +
             SuggestionRanker::kRarityWeight * SuggestionRanker::kRareWordCost},
        {"inin", "in", "in in", SuggestionRanker::kLongSplitCost - 2},  // a syllable typed twice
        // English's "y" before "s" is "ie"; the rule missed costs less than a letter too many.
        {"entitys", "entities", "entity", 1 - SuggestionRanker::kYEndingCost, true},
        {"entitys", "entity", "entities",  // in another language: a vowel for another, and an e
         TypingDistance::kVowelForVowel + TypingDistance::kDroppedLetter -
             SuggestionRanker::kSoundsAlikeBonus - 1},
        // A letter dropped at the end keeps the inflection; another last letter does not.
        {"tast", "taste", "tase",
         1 + SuggestionRanker::kEndingCost - TypingDistance::kDroppedLetter},
        {"fromt", "front", "fromr", SuggestionRanker::kEndingCost},
        {"ninty", "ninety", "minty",
         SuggestionRanker::kFirstLetterCost + TypingDistance::kNeighbourKey -
             TypingDistance::kDroppedLetter},
        {"zurich", "zürich", "yurich",
         SuggestionRanker::kFirstLetterCost + TypingDistance::kNeighbourKey -
             TypingDistance::kAccent},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(
            cost(row.typed, row.dearer, row.english) - cost(row.typed, row.cheaper, row.english),
            row.difference, 1e-9)
            << row.typed;
    // The engine's own splits: where both halves are common words and one is short.
    const struct {
        const char* typed;
        std::vector<std::string> words;
    } runTogether[] = {
        {"infact", {"in fact"}},
        {"Infact", {"in fact"}},
        {"keyboard", {}},
        {"inin", {}},
        {"in fact", {}},
        {"i", {}},
        {"", {}},
    };
    for (const auto& row : runTogether) {
        std::vector<std::string> words;
        for (const SuggestionRanker::Candidate& c : ranker.RunTogether(row.typed))
            words.push_back(c.word);
        EXPECT_EQ(words, row.words) << row.typed;
    }
    // The library's first suggestion gets the whole bonus, its tenth none.
    EXPECT_NEAR(cost("brwon", "brown") - ranker.CostOf("brwon", {"brown", -1, 0}),
                SuggestionRanker::kLibraryBonus, 1e-9);
    EXPECT_NEAR(cost("brwon", "brown"), ranker.CostOf("brwon", {"brown", -1, 10}), 1e-9);
    // The margin costs each candidate once (a name and its lower-case word are no rivals), and
    // the ranking keeps those costs.
    std::vector<SuggestionRanker::Candidate> candidates = {{"Brown", -1, -1}, {"brown", -1, -1}};
    EXPECT_EQ(ranker.Margin("brwon", candidates), SuggestionRanker::kNoRival);
    EXPECT_TRUE(candidates[0].costed && candidates[1].costed);
    EXPECT_NEAR(candidates[1].cost, cost("brwon", "brown"), 1e-9);
    candidates[0].cost = -10;  // a kept cost decides the order
    EXPECT_EQ(ranker.Rank("brwon", candidates, 1), std::vector<std::string>{"Brown"});
}

// When the library is asked: never for a word the index answers clearly, for an unclear one
// only when it is fast, and always when the index has nothing close; before the index is
// ready the library's list is ranked alone.
TEST(LanguageSuggesterTest, TheLibraryIsAskedOnlyWhenTheIndexNeedsIt) {
    const auto tiers = std::make_shared<const WordTiers>(
        WordTiers::Parse("brown\t10\nwith\t10\nwish\t10\nsomething\t10\n"));
    using Speed = LanguageSuggester::LibrarySpeed;
    const struct {
        const char* typed;
        Speed speed;
        bool prepared;
        std::vector<std::string> library;
        bool asked;
        const char* first;  // nullptr: either of a tie
    } rows[] = {
        {"brwon", Speed::kFast, true, {"crown"}, false, "brown"},  // one clear answer
        {"wih", Speed::kFast, true, {"wish"}, true, "wish"},       // a tie the library breaks
        {"wih", Speed::kSlow, true, {"wish"}, false, nullptr},
        {"smthng", Speed::kSlow, true, {"wish", "something"}, true, "something"},  // nothing near
        {"brwon", Speed::kSlow, false, {"brown"}, true, "brown"},                  // no index yet
    };
    for (const auto& row : rows) {
        LanguageSuggester suggester("en", tiers, [](const WordTiers& t) { return t.Words(); });
        if (row.prepared) suggester.Prepare();
        bool asked = false;
        const auto list = suggester.Suggest(
            row.typed, 5,
            [&](std::string_view) {
                asked = true;
                return row.library;
            },
            row.speed);
        EXPECT_EQ(asked, row.asked) << row.typed;
        ASSERT_FALSE(list.empty()) << row.typed;
        if (row.first) {
            EXPECT_EQ(list[0], row.first) << row.typed;
        }
    }
}

TEST(WordTiersTest, SmallestTierWinsAndMalformedLinesAreSkipped) {
    const WordTiers tiers = WordTiers::Parse(
        "brown\t35\nbrown\t10\nBrown\t60\nbad line\nnum\tx\nzero\t0\n\t10\nhuge\t500\nlast\t70");
    EXPECT_EQ(tiers.size(), 3u);
    EXPECT_EQ(tiers.TierOf("brown", "brown"), 10);
    EXPECT_EQ(tiers.TierOf("Brown", "brown"), 60);
    EXPECT_EQ(tiers.TierOf("LAST", "last"), 70);
    EXPECT_EQ(tiers.TierOf("zero", "zero"), 0);
    EXPECT_EQ(WordTiers::Load("/nonexistent/tiers").size(), 0u);
    // The words up to a tier: the rarest tier is what the index leaves to the dictionary.
    const struct {
        int maxTier;
        std::vector<std::string> words;
    } upTo[] = {
        {WordTiers::kMaxTier, {"Brown", "brown", "last"}},
        {WordTiers::kRarestTier - 1, {"Brown", "brown"}},
        {35, {"brown"}},
        {0, {}},
    };
    for (const auto& row : upTo) {
        std::vector<std::string> words = tiers.Words(row.maxTier);
        std::sort(words.begin(), words.end());
        EXPECT_EQ(words, row.words) << row.maxTier;
    }
}

TEST(SuggestionRankingTest, KnownMisspellingsGetTheWordFirst) {
    const struct {
        const char* typed;
        const char* first;
        const char* language = "en_US";
        const char* backend = "aspell";
    } rows[] = {
        {"brwon", "brown"},
        {"freind", "friend"},
        {"frist", "first"},
        {"Freind", "Friend"},
        {"BRWON", "BROWN"},
        {"recieve", "receive"},
        {"teh", "the"},
        {"accomodate", "accommodate"},
        {"definately", "definitely"},
        {"seperate", "separate"},
        {"occured", "occurred"},
        {"begining", "beginning"},
        {"wierd", "weird"},
        {"untill", "until"},
        {"tommorow", "tomorrow"},
        {"neccessary", "necessary"},
        {"goverment", "government"},
        {"becuase", "because"},
        {"beleive", "believe"},
        {"calender", "calendar"},
        {"enviroment", "environment"},
        {"existance", "existence"},
        {"foriegn", "foreign"},
        {"histroy", "history"},
        {"knowlege", "knowledge"},
        {"noticable", "noticeable"},
        {"publically", "publicly"},
        {"reccomend", "recommend"},
        {"succesful", "successful"},
        {"thier", "their"},
        {"truely", "truly"},
        {"wich", "which"},
        {"ninty", "ninety"},
        {"tast", "taste"},
        {"procede", "proceed"},
        {"londn", "London"},
        {"appeares", "appears"},
        {"coveres", "covers"},
        {"childbird", "childbirth"},
        {"Londn", "London"},
        {"FREIND", "FRIEND"},
        {"Frist", "First"},
        {"aswell", "as well"},
        {"canbe", "can be"},
        {"Inthe", "In the"},
        {"mememory", "memory"},
        {"applys", "applies"},
        {"geometrie", "geometry"},
        {"dictionarys", "dictionaries"},
        {"brwon", "brown", "en_US", "hunspell"},
        {"freind", "friend", "en_US", "hunspell"},
        {"frist", "first", "en_US", "hunspell"},
        {"Freind", "Friend", "en_US", "hunspell"},
        {"BRWON", "BROWN", "en_US", "hunspell"},
        {"recieve", "receive", "en_US", "hunspell"},
        {"teh", "the", "en_US", "hunspell"},
        {"accomodate", "accommodate", "en_US", "hunspell"},
        {"definately", "definitely", "en_US", "hunspell"},
        {"seperate", "separate", "en_US", "hunspell"},
        {"occured", "occurred", "en_US", "hunspell"},
        {"begining", "beginning", "en_US", "hunspell"},
        {"wierd", "weird", "en_US", "hunspell"},
        {"untill", "until", "en_US", "hunspell"},
        {"tommorow", "tomorrow", "en_US", "hunspell"},
        {"neccessary", "necessary", "en_US", "hunspell"},
        {"goverment", "government", "en_US", "hunspell"},
        {"becuase", "because", "en_US", "hunspell"},
        {"beleive", "believe", "en_US", "hunspell"},
        {"calender", "calendar", "en_US", "hunspell"},
        {"enviroment", "environment", "en_US", "hunspell"},
        {"existance", "existence", "en_US", "hunspell"},
        {"foriegn", "foreign", "en_US", "hunspell"},
        {"histroy", "history", "en_US", "hunspell"},
        {"knowlege", "knowledge", "en_US", "hunspell"},
        {"noticable", "noticeable", "en_US", "hunspell"},
        {"publically", "publicly", "en_US", "hunspell"},
        {"reccomend", "recommend", "en_US", "hunspell"},
        {"succesful", "successful", "en_US", "hunspell"},
        {"thier", "their", "en_US", "hunspell"},
        {"truely", "truly", "en_US", "hunspell"},
        {"ninty", "ninety", "en_US", "hunspell"},
        {"wich", "which", "en_US", "hunspell"},
        {"tast", "taste", "en_US", "hunspell"},
        {"procede", "proceed", "en_US", "hunspell"},
        {"Londn", "London", "en_US", "hunspell"},
        {"debian", "Debian"},
        {"appeares", "appears", "en_US", "hunspell"},
        {"coveres", "covers", "en_US", "hunspell"},
        {"childbird", "childbirth", "en_US", "hunspell"},
        {"FREIND", "FRIEND", "en_US", "hunspell"},
        {"Frist", "First", "en_US", "hunspell"},
        {"selachain", "selachian", "en_US", "hunspell alone"},  // a rare word: the library finds it
        {"Maedchen", "Mädchen", "de_DE"},
        {"Madchen", "Mädchen", "de_DE"},
        {"fuer", "für", "de_DE"},
        {"schoen", "schön", "de_DE"},
        {"Strasse", "Straße", "de_DE"},
        {"heiss", "heiß", "de_DE"},
        {"Hasu", "Haus", "de_DE"},
        {"haus", "Haus", "de_DE"},
        {"Wetetr", "Wetter", "de_DE"},
        {"zusamen", "zusammen", "de_DE"},
        {"vieleicht", "vielleicht", "de_DE"},
        {"Addresse", "Adresse", "de_DE"},
        {"Rythmus", "Rhythmus", "de_DE"},
        {"Buero", "Büro", "de_DE"},
        {"UEBER", "ÜBER", "de_DE"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> list =
            Ranked::Get(row.language, row.backend).Suggest(row.typed);
        EXPECT_EQ(list.empty() ? "" : list[0], row.first)
            << row.typed << " " << row.backend << " " << ::testing::PrintToString(list);
    }
}

TEST(SuggestionRankingTest, LowerCaseWordsBeforeNamesAndNoRepeats) {
    const std::vector<std::string> list = Ranked::Get("en_US").Suggest("brwon");
    const auto lower = std::find(list.begin(), list.end(), "brown");
    const auto name = std::find(list.begin(), list.end(), "Brown");
    EXPECT_LT(lower, name);
    std::vector<std::string> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_LE(list.size(), 10u);
    EXPECT_TRUE(Ranked::Get("en_US").Suggest(std::string(150, 'q')).empty());
}

TEST(SuggestionRankingTest, HunspellLanguagesTakeAspellsCandidatesThatTheirDictionaryAccepts) {
    ServerConfig config;
    config.languages = {"en_US"};
    config.backends["en_US"] = "hunspell";
    const LanguageRegistry withAspell(config);
    ASSERT_NE(withAspell.Find("en_US")->suggestionSource(), nullptr);
    EXPECT_EQ(withAspell.Find("en_US")->suggestionSource()->backend(), "aspell");
    const testsupport::TempDir noAspell;
    config.aspellDir = noAspell.str();
    EXPECT_EQ(LanguageRegistry(config).Find("en_US")->suggestionSource(), nullptr);

    HunspellBackend hunspell("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic");
    for (const char* typed : {"alot", "brwon", "recieve", "Londn", "colour", "teh"}) {
        const std::vector<std::string> list = Ranked::Get("en_US", "hunspell").Suggest(typed);
        EXPECT_FALSE(list.empty()) << typed;
        for (const std::string& words : list)  // a split's words one by one
            EXPECT_TRUE(hunspell.CheckEach(words)) << typed << ": " << words;
    }
    const std::vector<std::string> split = Ranked::Get("en_US", "hunspell").Suggest("alot");
    EXPECT_NE(std::find(split.begin(), split.end(), "a lot"), split.end());
    // Aspell's dictionary fails to open: Hunspell's own list, which knows the rare word.
    const std::vector<std::string> own =
        Ranked::Get("en_US", "hunspell broken").Suggest("selachain");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own[0], "selachian");
    // ... and is not tried again.
    EXPECT_EQ(Ranked::Get("en_US", "hunspell broken").Pool()->suggestionSource(), nullptr);
}
