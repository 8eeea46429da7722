// The data tree shipped in data/: every template the command map names exists and is a valid
// template, the texts of both languages agree, and the default INI file says what it means.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "kernel/CIniParser.h"
#include "kernel/filters/IntTextLoad_FLT.h"
#include "orthd/TemplateInit_FLT.h"
#include "support/TestSupport.h"
#include "templates/TemplateMap.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(VERBARIUM_SOURCE_DIR) / "data";

std::set<std::string> Keys(const CIniParser::Entries& entries) {
    std::set<std::string> keys;
    for (const auto& entry : entries) keys.insert(entry.first);
    return keys;
}

}  // namespace

TEST(ShippedDataTest, DefaultIniSetsTheKeysTheTreeNeeds) {
    const auto ini = CIniParser::LoadIniFile((kData / "cgi-bin/orthd.ini").string());
    const std::map<std::string, std::string> expected = {
        {"appserver_hostname", "127.0.0.1"},
        {"appserver_port", "2880"},
        {"lf_mapping", "default ../templates/"},
        {"schema_def", "1000"},
        {"def_int_lang", "en_US"},
        {"langs_list", "[superset] en_US en_GB [usual] de_DE fr_FR [rtl] he_IL"},
        {"langs_ver", "1"},
        {"lang_cookie", "1"},
        {"use_ferrix_protocol", "1"},
        {"html_wl", "b|i|u|em|strong|p|br|div|span|li|td|th|a|h1|h2|h3|h4|h5|h6"},
        {"attr_wl", "title|alt|value"},
    };
    EXPECT_EQ(ini, expected);
}

TEST(ShippedDataTest, EveryFileTheCommandMapNamesExistsAndIsAValidTemplate) {
    StringMap map;
    InternalData data;
    data.Insert(idkey::IniFileTime, 0LL);
    map[":tmpl_dir:"] = (kData / "templates/1000/templ/").string();
    map[":d_tmpl_d:"] = map[":tmpl_dir:"];
    orthd::TemplateInit_FLT().apply(map, data);
    const auto& commands = data.Get<TemplateMap>(idkey::TemplateMap);
    const std::vector<std::pair<std::string, std::string>> selections = {
        {"format", ""},        {"format", "json"},       {"kwirlflag", ""},
        {"kwirlflag", "1"},    {"doc", "kwirl"},         {"plugin", "fck"},
        {"doc", "qdr"},        {"plugin", ""},           {"doc", "qdr"},
        {"doc", "kwirl_core"}, {"name", "request"},      {"name", "func"},
        {"name", "ie"},        {"name", "moz"},          {"doc", "qdr_core"},
        {"name", "blank"},     {"name", "blankform"},    {"name", "frm"},
        {"name", "show"},      {"name", "initialize"},   {"doc", "image"},
        {"img", "spin"},       {"img", "tick"},          {"slang", "en_US"},
        {"doc", "kwirl_lang"}, {"slang", "de_DE"},       {"doc", "kwirl_styles"},
        {"doc", "error.xsl"},  {"doc", "kwirl_sp_init"}, {"plugin", "fck"},
    };
    const std::set<std::string> withoutFile = {"eos", "check", "unknown", "status"};
    size_t checked = 0;
    for (size_t step = 0; step <= selections.size(); ++step) {
        for (const auto& [command, source] : commands) {
            if (withoutFile.count(command) != 0) continue;
            std::string text;
            try {
                text = source->content();
            } catch (const TemplateInformationAbsent&) {
                continue;  // not selected by the current values
            } catch (const std::exception& e) {
                ADD_FAILURE() << command << ": " << e.what();
                continue;
            }
            if (source->contentType().rfind("image/", 0) == 0) continue;
            EXPECT_NO_THROW(BytePageTemplate(text, kPlaceholderOpen, kPlaceholderClose)) << command;
            ++checked;
        }
        if (step < selections.size()) map[selections[step].first] = selections[step].second;
    }
    EXPECT_GT(checked, 100u);
}

TEST(ShippedDataTest, BothLanguagesHoldTheSameTexts) {
    const auto english =
        IntTextLoad_FLT::ParseTextFile(testsupport::ReadFile(kData / "texts/text_en_US.txt"));
    const auto german =
        IntTextLoad_FLT::ParseTextFile(testsupport::ReadFile(kData / "texts/text_de_DE.txt"));
    EXPECT_FALSE(english.replaceExisting);
    EXPECT_TRUE(german.replaceExisting);
    EXPECT_EQ(Keys(english.entries), Keys(german.entries));
    EXPECT_EQ(english.entries.at("en_US"), "English (US)");
    EXPECT_EQ(german.entries.at("tx_no14"), "Vorschl\xC3\xA4ge");
    for (const char* key : {"en_GB", "de_DE", "fr_FR", "he_IL", "tx_no60", "tx_no82", "tx_no89"})
        EXPECT_EQ(english.entries.count(key), 1u) << key;
}

// A page must not show an empty title or message: every interface text a shipped template names
// is loaded for each command that answers with it (both schemas).
TEST(ShippedDataTest, EveryInterfaceTextATemplateNamesIsLoadedForItsCommands) {
    const auto texts =
        IntTextLoad_FLT::ParseTextFile(testsupport::ReadFile(kData / "texts/text_en_US.txt"));
    const std::regex placeholder("<#(tx_[a-z0-9_]+)", std::regex::icase);
    const std::vector<std::pair<std::string, std::string>> selections = {
        {"kwirlflag", ""},     {"kwirlflag", "1"}, {"format", ""},     {"format", "json"},
        {"doc", "kwirl_lang"}, {"slang", "en_US"}, {"slang", "de_DE"}, {"doc", "qdr"},
        {"doc", "qdr_core"},   {"name", "blank"},  {"name", "frm"},    {"name", "show"},
    };
    size_t named = 0;
    for (const char* schema : {"1000", "2000"}) {
        StringMap map;
        InternalData data;
        data.Insert(idkey::IniFileTime, 0LL);
        map[":tmpl_dir:"] = (kData / "templates" / schema / "templ/").string();
        map[":d_tmpl_d:"] = (kData / "templates/1000/templ/").string();
        orthd::TemplateInit_FLT().apply(map, data);
        const auto& commands = data.Get<TemplateMap>(idkey::TemplateMap);
        for (size_t step = 0; step <= selections.size(); ++step) {
            for (const auto& [command, source] : commands) {
                std::string text;
                bool loadsTexts = false;
                try {
                    text = source->content();
                    loadsTexts = source->needsIntText();
                } catch (...) {
                    continue;  // not selected by the current values, or no file
                }
                for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end;
                     ++it) {
                    ++named;
                    const std::string key = (*it)[1];
                    const bool filled =
                        loadsTexts && std::any_of(texts.entries.begin(), texts.entries.end(),
                                                  [&](const auto& entry) {
                                                      return entry.first == key &&
                                                             !entry.second.empty();
                                                  });
                    EXPECT_TRUE(filled) << schema << " " << command << ": " << key;
                }
            }
            if (step < selections.size()) map[selections[step].first] = selections[step].second;
        }
    }
    EXPECT_GT(named, 30u);
}
