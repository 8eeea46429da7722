// Loading the interface-language texts: the file fall-back order, the three encodings, and
// languages that are no file names.
#include <gtest/gtest.h>

#include <filesystem>

#include "kernel/filters/IntTextLoad_FLT.h"
#include "support/TestSupport.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateMap.h"
#include "utils/InternalDataKeys.h"

namespace {

// `text` (ASCII or UTF-8 without multi-byte characters beyond the BMP) as UTF-16 with a BOM.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

class IntTextLoadTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;

    void SetUp() override {
        TemplateMap commands;
        commands.set("navbar", TemplateInformationRef::make<InlineTemplateInformation>("text/html",
                                                                                       "", true));
        commands.set("spell", TemplateInformationRef::make<InlineTemplateInformation>("text/html",
                                                                                      "", false));
        data.Insert(idkey::TemplateMap, commands);
        map[":text_dir:"] = dir.str() + "texts/";
        map["cmd"] = "navbar";
        map["def_int_lang"] = "en_US";
    }
    void Write(const std::string& language, const std::string& bytes) {
        dir.Write("texts/text_" + language + ".txt", bytes);
    }
    void Run() { IntTextLoad_FLT().apply(map, data); }
};

}  // namespace

TEST_F(IntTextLoadTest, FallsBackFromFullToShortToDefaultToEnglish) {
    Write("en_US", "tx_no1=English\n");
    Write("fr_FR", "tx_no1=Default\n");
    Write("de", "tx_no1=Short\n");
    Write("de_AT", "tx_no1=Full\n");
    const struct {
        const char* intlang;
        const char* defIntLang;
        const char* text;
    } rows[] = {
        {"de_AT", "fr_FR", "Full"},    {"de_CH", "fr_FR", "Short"}, {"it_IT", "fr_FR", "Default"},
        {"it_IT", "es_ES", "English"}, {"", "fr_FR", "Default"},
    };
    for (const auto& row : rows) {
        map.erase("tx_no1");
        map["intlang"] = row.intlang;
        map["def_int_lang"] = row.defIntLang;
        Run();
        EXPECT_EQ(map["tx_no1"], row.text) << row.intlang;
    }
}

TEST_F(IntTextLoadTest, FallsBackInUtf16Files) {
    Write("en_US", Utf16(u"tx_no1=English\r\n", true));
    Write("de", Utf16(u"tx_no1=Kurz\r\n", false));
    map["intlang"] = "de_DE";
    Run();
    EXPECT_EQ(map["tx_no1"], "Kurz");
    map["intlang"] = "it_IT";
    Run();
    EXPECT_EQ(map["tx_no1"], "English");
}

TEST_F(IntTextLoadTest, NoFileIsAnError) {
    map["intlang"] = "it_IT";
    try {
        Run();
        FAIL();
    } catch (const IntTextLoad_FLT::ILoadException& e) {
        EXPECT_STREQ(e.what(), "Error opening language-specific text file.");
        EXPECT_EQ(e.file(), "kernel/filters/IntTextLoad_FLT");
    }
}

TEST_F(IntTextLoadTest, DirectoryInPlaceOfAFileIsSkipped) {
    std::filesystem::create_directories(dir.path() / "texts/text_de_DE.txt");
    Write("en_US", "tx_no1=English\n");
    map["intlang"] = "de_DE";
    Run();
    EXPECT_EQ(map["tx_no1"], "English");
}

TEST_F(IntTextLoadTest, LanguagesThatAreNoFileNamesAreSkipped) {
    Write("en_US", "tx_no1=English\n");
    dir.Write("secret.txt", "tx_no1=Secret\n");
    dir.Write("text_secret.txt", "tx_no1=Secret\n");
    dir.Write("texts/text_../secret.txt", "tx_no1=Secret\n");
    for (const std::string& language :
         std::vector<std::string>{"../secret", "/../../secret", "..\\secret", "..",
                                  "x/../../text_secret", std::string("en\nUS")}) {
        for (const char* key : {"intlang", "def_int_lang"}) {
            map.erase("tx_no1");
            map["intlang"] = "it_IT";
            map["def_int_lang"] = "en_US";
            map[key] = language;
            Run();
            EXPECT_EQ(map["tx_no1"], "English") << key << "=" << language;
        }
    }
    EXPECT_EQ(IntTextLoad_FLT::CandidateFiles(map).size(), 3u);
}

TEST_F(IntTextLoadTest, Utf8TextsDoNotReplaceValuesButUtf16TextsDo) {
    map["intlang"] = "en_US";
    map["tx_no1"] = "from request";
    Write("en_US", "\xEF\xBB\xBFtx_no1=file\ntx_no2=second\n");
    Run();
    EXPECT_EQ(map["tx_no1"], "from request");
    EXPECT_EQ(map["tx_no2"], "second");

    for (const bool bigEndian : {false, true}) {
        map["tx_no1"] = "from request";
        Write("en_US", Utf16(u"tx_no1=Gr\u00FC\u00DFe \u05E9\u05DC\u05D5\u05DD\n", bigEndian));
        Run();
        EXPECT_EQ(map["tx_no1"],
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D")
            << bigEndian;
    }
}

TEST_F(IntTextLoadTest, CommandsWithoutTextsLoadNothingAndUnknownCommandsLoadThem) {
    Write("en_US", "tx_no1=English\n");
    map["cmd"] = "spell";
    Run();
    EXPECT_EQ(map.count("tx_no1"), 0u);
    map["cmd"] = "ver";
    Run();
    EXPECT_EQ(map["tx_no1"], "English");
}

TEST_F(IntTextLoadTest, MissingCommandMapIsAnInternalError) {
    InternalData empty;
    try {
        IntTextLoad_FLT().apply(map, empty);
        FAIL();
    } catch (const IntTextLoad_FLT::ILoadException& e) {
        EXPECT_STREQ(e.what(), "IntTextLoader::apply() - internal error.");
    }
}

// A UTF-16 file gives the entries of the same text written as UTF-8 (lone surrogates as U+FFFD):
// escapes before non-ASCII characters, comments, quotes and continuation lines behave alike.
TEST(IntTextParseTest, Utf16FilesGiveTheEntriesOfTheirUtf8Form) {
    const std::u16string texts[] = {
        u"a=\\\u00E9x\nb=1 # c\n\u00FC=\"q\nr\"\n",
        u"k=line\\\n  more\n\u4E2D=\u6587  \n",
        u"\U0001F600=smile\\\U0001F600\nz=\\#\\=\n",
        u"odd=\xD800x\n",
    };
    for (const auto& text : texts) {
        std::string utf8;
        for (const auto& [key, value] : IntTextLoad_FLT::ParseTextFile(Utf16(text, false)).entries)
            utf8 += key + "=" + value + ";";
        std::string expected;
        // The same text written as UTF-8 (lone surrogates as U+FFFD).
        std::u16string copy = text;
        std::string asUtf8;
        for (size_t i = 0; i < copy.size(); ++i) {
            char32_t cp = copy[i];
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < copy.size() && copy[i + 1] >= 0xDC00 &&
                copy[i + 1] <= 0xDFFF)
                cp = 0x10000 + ((cp - 0xD800) << 10) + (copy[++i] - 0xDC00);
            else if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xFFFD;
            if (cp < 0x80) {
                asUtf8 += static_cast<char>(cp);
            } else if (cp < 0x800) {
                asUtf8 += static_cast<char>(0xC0 | (cp >> 6));
                asUtf8 += static_cast<char>(0x80 | (cp & 0x3F));
            } else if (cp < 0x10000) {
                asUtf8 += static_cast<char>(0xE0 | (cp >> 12));
                asUtf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                asUtf8 += static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                asUtf8 += static_cast<char>(0xF0 | (cp >> 18));
                asUtf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                asUtf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                asUtf8 += static_cast<char>(0x80 | (cp & 0x3F));
            }
        }
        for (const auto& [key, value] : IntTextLoad_FLT::ParseTextFile(asUtf8).entries)
            expected += key + "=" + value + ";";
        EXPECT_EQ(utf8, expected);
        EXPECT_FALSE(expected.empty());
    }
    EXPECT_TRUE(IntTextLoad_FLT::ParseTextFile(Utf16(u"a=b\n", true)).replaceExisting);
    EXPECT_FALSE(IntTextLoad_FLT::ParseTextFile("a=b\n").replaceExisting);
}
