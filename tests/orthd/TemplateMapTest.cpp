// The command template map of orthd, its selector maps, and loading the chosen template.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>

#include "kernel/ContentType.h"
#include "kernel/CriticalErrorMessage.h"
#include "kernel/filters/TemplateLoad_FLT.h"
#include "orthd/TemplateInit_FLT.h"
#include "support/TestSupport.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateMap.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"
#include "utils/logging/SimpleLogger.h"

using orthd::TemplateInit_FLT;

namespace {

constexpr char kHtml[] = "text/html; charset=UTF-8";
constexpr char kXml[] = "text/xml; charset=UTF-8";
constexpr char kJs[] = "text/javascript; charset=UTF-8";
constexpr long long kJan2Of2020 = 1577923200;  // 2020-01-02 00:00:00 UTC

class TemplateMapTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;
    SimpleLogger* logger = nullptr;
    std::string previousLog;

    void SetUp() override {
        logger = dynamic_cast<SimpleLogger*>(&GetLogger());
        ASSERT_NE(logger, nullptr);
        previousLog = logger->path();
        logger->Init(dir.str() + "debug.log");
        map[":tmpl_dir:"] = dir.str() + "ie/";
        map[":d_tmpl_d:"] = dir.str() + "default/";
        data.Insert(idkey::IniFileTime, kJan2Of2020 - 86400 * 30);
        TemplateInit_FLT().apply(map, data);
    }
    void TearDown() override { logger->Init(previousLog); }

    std::string Log() const {
        return std::filesystem::exists(dir.path() / "debug.log") ? dir.Read("debug.log") : "";
    }
    TemplateInformation& Source(const std::string& command) {
        return *data.Get<TemplateMap>(idkey::TemplateMap)[command];
    }
    // Runs the load stage for `command`; returns ":template:".
    std::string Load(const std::string& command) {
        map["cmd"] = command;
        TemplateLoad_FLT().apply(map, data);
        return map[":template:"];
    }
    std::string LoadedType() { return data.Get<ContentType>(idkey::ResponseContentType).text; }
};

}  // namespace

TEST_F(TemplateMapTest, FileCommandsNameTheirTemplateAndTextNeeds) {
    const struct {
        const char* command;
        const char* file;
        const char* type;
        bool needsTexts;
    } rows[] = {
        {"navbar", "top.html", kHtml, true},
        {"spell", "text.html", kHtml, false},
        {"grammar", "text.html", kHtml, false},
        {"ants", "text.html", kHtml, false},
        {"suggest", "spell_dlg.html", kHtml, true},
        {"suggram", "gram_dlg.html", kHtml, true},
        {"getthes", "thes_dlg.html", kHtml, true},
        {"getants", "ants_dlg.html", kHtml, true},
        {"finish", "finish.html", kHtml, true},
        {"spellsuggestall", "spellsuggestall.html", kHtml, false},
        {"img", "images.html", kHtml, false},
        {"sp_ch", "text.html", kHtml, false},
        {"gr_ig_all", "text.html", kHtml, false},
        {"th_ch", "text.html", kHtml, false},
        {"aboutshow", "kwirl_about.tmpl", kHtml, false},
        {"langshow", "kwirl_lang.tmpl", kHtml, false},
        {"kwirl_optshow", "kwirl_opt.html", kHtml, false},
        {"error_conversion", "QDR/error.xsl", "text/xsl", false},
    };
    for (const auto& row : rows) {
        dir.Write(std::string("default/") + row.file, std::string("file ") + row.file);
        EXPECT_EQ(Load(row.command), std::string("file ") + row.file) << row.command;
        EXPECT_EQ(LoadedType(), row.type) << row.command;
        EXPECT_EQ(Source(row.command).needsIntText(), row.needsTexts) << row.command;
    }
}

TEST_F(TemplateMapTest, FormatChoosesTheAnswerVariant) {
    const struct {
        const char* command;
        const char* format;
        const char* type;  // nullptr: no variant
        const char* text;
    } rows[] = {
        {"kwirl_spell", "", kXml, "<?xml version=\"1.0\" encoding=\"utf-8\"?><#view#>"},
        {"dictionary", "json", kJs, "<#callback#><#left_per#><#view#><#right_per#>"},
        {"sc", "xml", nullptr, ""},
        {"check_spelling", "", kXml,
         "<?xml version=\"1.0\" "
         "encoding=\"utf-8\"?><check_spelling><#check_spelling_xml#></check_spelling>"},
        {"check_spelling", "xml", kXml,
         "<?xml version=\"1.0\" "
         "encoding=\"utf-8\"?><check_spelling><#check_spelling_xml#></check_spelling>"},
        {"check_spelling", "json", kJs,
         "<#callback#><#left_per#><#check_spelling_json#><#right_per#>"},
        {"api_version", "xml", kXml,
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><api_version><#api_version#></api_version>"},
        {"api_version", "json", kJs,
         "<#callback#><#left_per#>{\"version\": \"<#api_version#>\"}<#right_per#>"},
        {"get_opt", "json", kJs,
         "<#callback#><#left_per#>{\"options\": {\"opt\": "
         "\"<#osp#>\",\"dict\":\"<#udn#>\",\"sid\":\"<#sessionid#>\"}}<#right_per#>"},
        {"get_opt", "xml", nullptr, ""},
        {"get_lang_list", "", kJs, "<#callback#><#left_per#><#view#><#right_per#>"},
        {"get_lang_list", "json", nullptr, ""},
        {"languages", "json", kXml, "<?xml version=\"1.0\" encoding=\"utf-8\"?><#view#>"},
    };
    for (const auto& row : rows) {
        map["format"] = row.format;
        if (row.type == nullptr) {
            EXPECT_THROW(Source(row.command).content(), TemplateInformationAbsent)
                << row.command << row.format;
            continue;
        }
        EXPECT_EQ(Source(row.command).content(), row.text) << row.command << "/" << row.format;
        EXPECT_EQ(Source(row.command).contentType(), row.type) << row.command << "/" << row.format;
    }
    map["format"] = "json";
    EXPECT_TRUE(Source("kwirl_spell").needsIntText());
    EXPECT_FALSE(Source("get_opt").needsIntText());
    map["format"] = "";
    EXPECT_FALSE(Source("kwirl_spell").needsIntText());
    EXPECT_TRUE(Source("ui_strings").needsIntText());
    EXPECT_FALSE(Source("flash_spell").needsIntText());
}

TEST_F(TemplateMapTest, SharedSourcesAnswerAlike) {
    const auto& commands = data.Get<TemplateMap>(idkey::TemplateMap);
    for (const char* name : {"kwirl_suggest", "kwirl_add_word", "spellcheck", "sc",
                             "kwirl_spelltext", "kwirl_grammar", "dictionary"})
        EXPECT_EQ(&*commands[name], &*commands["kwirl_spell"]) << name;
    for (const char* name : {"ospsave", "create", "delete", "rename", "restore"})
        EXPECT_EQ(&*commands[name], &*commands["ospshow"]) << name;
}

TEST_F(TemplateMapTest, KwirlFlagChoosesTheOptionsPage) {
    dir.Write("default/sp_opt.html", "dialog options");
    dir.Write("default/kwirl_opt.html", "kwirl options");
    EXPECT_EQ(Load("ospshow"), "dialog options");
    map["kwirlflag"] = "1";
    EXPECT_EQ(Load("rename"), "kwirl options");
    EXPECT_TRUE(Source("rename").needsIntText());
    map["kwirlflag"] = "2";
    Load("ospshow");
    EXPECT_EQ(map["e_message"], "Template information is not found");
}

TEST_F(TemplateMapTest, ScriptDocumentsAndTheirSelectors) {
    dir.Write("default/KWIRL/kwirl.js", "kwirl main");
    dir.Write("default/KWIRL/files/kwirl_moz.js", "kwirl moz");
    dir.Write("default/KWIRL/files/styles/kwirl.css", "css");
    dir.Write("default/KWIRL/lang/de_DE.js", "de texts");
    dir.Write("default/QDR/qdr_script.js", "qdr main");
    dir.Write("default/QDR/frameset.html", "frames");
    dir.Write("default/QDR/error.xsl", "xsl");
    dir.Write("default/QDR/kwirl_sp_init.js", "init");
    const struct {
        const char* doc;
        const char* selector;
        const char* value;
        const char* type;
        const char* text;
        bool needsTexts;
    } rows[] = {
        {"kwirl", "plugin", "", kJs, "kwirl main", false},
        {"kwirl_core", "name", "moz", kJs, "kwirl moz", false},
        {"kwirl_styles", "", "", "text/css", "css", false},
        {"kwirl_lang", "slang", "de_DE", kJs, "de texts", true},
        {"qdr", "plugin", "", kJs, "qdr main", false},
        {"qdr_core", "name", "frm", kHtml, "frames", false},
        {"error.xsl", "", "", "text/xsl", "xsl", false},
        {"kwirl_sp_init", "", "", kJs, "init", false},
    };
    for (const auto& row : rows) {
        StringMap request = map;
        request["doc"] = row.doc;
        if (*row.selector) request[row.selector] = row.value;
        std::swap(map, request);
        EXPECT_EQ(Load("script"), row.text) << row.doc;
        EXPECT_EQ(LoadedType(), row.type) << row.doc;
        EXPECT_EQ(Source("script").needsIntText(), row.needsTexts) << row.doc;
        std::swap(map, request);
        data.Erase(idkey::ResponseContentType);
    }
    for (const auto& [doc, selector, value] :
         {std::tuple{"unknown_doc", "", ""}, std::tuple{"kwirl_core", "name", "x"},
          std::tuple{"qdr_core", "name", ""}}) {
        map["doc"] = doc;
        if (*selector) map[selector] = value;
        EXPECT_THROW(Source("script").content(), TemplateInformationAbsent) << doc;
    }
}

TEST_F(TemplateMapTest, ScriptLanguageThatIsNoFileNameIsNotFound) {
    dir.Write("default/KWIRL/lang/en_US.js", "en texts");
    dir.Write("outside.js", "secret");
    dir.Write("default/KWIRL/outside.js", "secret");
    map["doc"] = "kwirl_lang";
    for (const std::string& slang : std::vector<std::string>{
             "../../../outside", "../outside", "..", "en_US/../../outside", "..\\outside",
             std::string("en_US\n"), std::string("en\0US", 5)}) {
        map["slang"] = slang;
        EXPECT_THROW(Source("script").content(), TemplateInformationAbsent) << slang;
        const std::string answer = Load("script");
        EXPECT_EQ(answer.find("secret"), std::string::npos) << slang;
        EXPECT_EQ(map["e_message"], "Template information is not found") << slang;
        data = InternalData();
        TemplateInit_FLT().apply(map, data);
        data.Insert(idkey::IniFileTime, 0LL);
    }
    map["slang"] = "en_US";
    EXPECT_EQ(Load("script"), "en texts");
}

TEST_F(TemplateMapTest, PluginsAreListedFromTheBrowserDirectoryOnly) {
    dir.Write("ie/KWIRL/kwirl_fckplugin.js", "kwirl fck");
    dir.Write("ie/KWIRL/kwirl_plugin.js", "nameless plugin");
    dir.Write("ie/KWIRL/kwirl_tinymceplugin.txt", "not a plugin");
    std::filesystem::create_directories(dir.path() / "ie/KWIRL/kwirl_dirplugin.js");
    dir.Write("default/KWIRL/kwirl.js", "kwirl main");
    dir.Write("default/KWIRL/kwirl_defaultonlyplugin.js", "hidden");
    dir.Write("ie/QDR/qdr_tinyplugin.js", "qdr tiny");
    map["doc"] = "kwirl";
    const struct {
        const char* doc;
        const char* plugin;
        const char* text;  // nullptr: no such plugin
    } rows[] = {
        {"kwirl", "fck", "kwirl fck"},     {"kwirl", "", "kwirl main"},
        {"kwirl", "defaultonly", nullptr}, {"kwirl", "dir", nullptr},
        {"kwirl", "tinymce", nullptr},     {"qdr", "tiny", "qdr tiny"},
        {"qdr", "fck", nullptr},
    };
    for (const auto& row : rows) {
        map["doc"] = row.doc;
        map["plugin"] = row.plugin;
        if (row.text)
            EXPECT_EQ(Source("script").content(), row.text) << row.doc << "/" << row.plugin;
        else
            EXPECT_THROW(Source("script").content(), TemplateInformationAbsent)
                << row.doc << "/" << row.plugin;
    }
}

TEST_F(TemplateMapTest, ImagesAreServedByExtensionAndOthersSkipped) {
    dir.Write("ie/KWIRL/files/img/spin.gif", "GIF89a");
    dir.Write("ie/KWIRL/files/img/photo.jpg", "JPEG");
    dir.Write("ie/KWIRL/files/img/upper.GIF", "GIF upper");
    dir.Write("ie/KWIRL/files/img/noext", "none");
    dir.Write("default/KWIRL/files/img/other.gif", "GIF default");
    map["doc"] = "image";
    const struct {
        const char* img;
        const char* type;  // nullptr: no such image
    } rows[] = {{"spin", "image/gif"}, {"photo", "image/jpeg"}, {"upper", nullptr},
                {"noext", nullptr},    {"other", nullptr},      {"spin.gif", nullptr}};
    for (const auto& row : rows) {
        map["img"] = row.img;
        if (row.type) {
            EXPECT_EQ(Source("script").contentType(), row.type) << row.img;
        } else {
            EXPECT_THROW(Source("script").contentType(), TemplateInformationAbsent) << row.img;
        }
    }
    EXPECT_NE(Log().find("File type undefined."), std::string::npos);
}

TEST_F(TemplateMapTest, SpecialCommandsNeedNoTemplateFile) {
    map["trg_url"] = "http://x/";
    EXPECT_EQ(Load("check"), "Location: <#trg_url#>?result=<#check#>&frameid=<#frameid#>\n\n");
    EXPECT_EQ(Load("status"), "<#status#>");
    map[":template:"] = "<script>parent.close();</script>";
    EXPECT_EQ(Load("eos"), "<script>parent.close();</script>");
    data.Set(idkey::LoadTemplate, false);
    map[":template:"] = "kept";
    EXPECT_EQ(Load("spell"), "kept");
}

TEST_F(TemplateMapTest, XmlAnswersLoseTheirLineBreaks) {
    dir.Write("default/QDR/error.xsl", "<a>\r\n<b/>\n</a>\n");
    EXPECT_EQ(Load("error_conversion"), "<a>\r\n<b/>\n</a>\n");  // not the XML content type
    map["format"] = "";
    auto& commands = data.Get<TemplateMap>(idkey::TemplateMap);
    commands.set("multi", TemplateInformationRef::make<InlineTemplateInformation>(
                              kXml, "<a>\r\n<b/>\n\r</a>\n", false));
    EXPECT_EQ(Load("multi"), "<a><b/></a>");
    EXPECT_EQ(LoadedType(), kXml);
}

TEST_F(TemplateMapTest, ChangeDateLaterThanTheFileAnswersNotModified) {
    const std::string path = dir.Write("default/text.html", "page");
    const utimbuf times{static_cast<time_t>(kJan2Of2020), static_cast<time_t>(kJan2Of2020)};
    utime(path.c_str(), &times);
    map["change_date"] = "20200102";
    EXPECT_EQ(Load("spell"), "page");
    EXPECT_FALSE(data.Find(idkey::HttpStatus));
    map["change_date"] = "20200103";
    EXPECT_EQ(Load("spell"), "");
    EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "304");
}

TEST_F(TemplateMapTest, MissingTemplatesBecomeErrorAnswersAndTheStageEndsNormally) {
    const struct {
        const char* command;
        const char* message;
        const char* module;  // where the error was raised
    } rows[] = {
        {"no_such_command", "Template information is not found", "kernel/filters/TemplateLoad_FLT"},
        {"spell", "Internal Error. Template not found.", "templates/TemplateFileInformation"}};
    for (const auto& row : rows) {
        map["format"] = "";
        EXPECT_NO_THROW(Load(row.command)) << row.command;
        EXPECT_EQ(map["e_message"], row.message) << row.command;
        EXPECT_EQ(map["e_is_critical"], "1") << row.command;
        EXPECT_EQ(map["cmd"], "error");
        EXPECT_FALSE(map[":template:"].empty());
        EXPECT_FALSE(data.Get<bool>(idkey::LoadTemplate));
        EXPECT_NE(
            Log().find(std::string("*ERROR* ") + row.message + " file: " + row.module + " line "),
            std::string::npos)
            << Log();
        data.Set(idkey::LoadTemplate, true);
    }
}

TEST_F(TemplateMapTest, MissingCommandMapIsAnInternalError) {
    InternalData empty;
    map["cmd"] = "spell";
    TemplateLoad_FLT().apply(map, empty);
    EXPECT_EQ(map["e_message"], "TemplateLoader::apply() - internal error.");
}

TEST(MatchNameTemplateTest, StarPartOfTheName) {
    const struct {
        const char* nameTemplate;
        const char* name;
        const char* star;  // nullptr: no match
    } rows[] = {
        {"kwirl_*plugin.js", "kwirl_fckplugin.js", "fck"},
        {"kwirl_*plugin.js", "kwirl_plugin.js", ""},
        {"*.js", "a.b.js", "a.b"},
        {"a*", "a", ""},
        {"kwirl_*plugin.js", "kwirl_fckplugin.jsx", nullptr},
        {"kwirl_*plugin.js", "qdr_fckplugin.js", nullptr},
        {"kwirl_*plugin.js", "kwirl.js", nullptr},
        {"ab*ba", "aba", nullptr},
        {"a*a", "a", nullptr},
    };
    for (const auto& row : rows) {
        if (row.star) {
            EXPECT_EQ(TemplateInit_FLT::matchNameTemplate(row.nameTemplate, row.name), row.star)
                << row.name;
        } else {
            try {
                TemplateInit_FLT::matchNameTemplate(row.nameTemplate, row.name);
                ADD_FAILURE() << row.name;
            } catch (const TemplateInit_FLT::ENotMatch& e) {
                EXPECT_STREQ(e.what(), "File name does not match the name template");
                EXPECT_EQ(e.file(), "orthd/TemplateInit_FLT");
            }
        }
    }
    try {
        TemplateInit_FLT::matchNameTemplate("plugin.js", "plugin.js");
        ADD_FAILURE();
    } catch (const TemplateInit_FLT::EInvalidTemplate& e) {
        EXPECT_STREQ(e.what(), "File name template is invalid");
    }
}

TEST(ListFilesTest, RegularMatchingFilesOnly) {
    testsupport::TempDir dir;
    dir.Write("d/a.js", "");
    dir.Write("d/b.txt", "");
    dir.Write("d/.hidden.js", "");
    std::filesystem::create_directories(dir.path() / "d/sub.js");
    auto names = TemplateInit_FLT::listFiles(dir.str() + "d", "*.js");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.js", "a.js"}));
    EXPECT_EQ(TemplateInit_FLT::listFiles(dir.str() + "d/", "b.*"),
              std::vector<std::string>{"b.txt"});
    EXPECT_TRUE(TemplateInit_FLT::listFiles(dir.str() + "missing/", "*").empty());
}

// An empty language is no path traversal: the answer is the script error of a missing file.
TEST_F(TemplateMapTest, EmptyScriptLanguageAnswersTheScriptError) {
    dir.Write("default/KWIRL/lang/en_US.js", "en texts");
    map["doc"] = "kwirl_lang";
    map["slang"] = "";
    EXPECT_ANY_THROW(Source("script").content());
    Load("script");
    EXPECT_EQ(map["e_message"], "Internal Error. Template not found.");
    EXPECT_EQ(LoadedType(), kJs);
    EXPECT_EQ(map[":template:"], "alert(\"<#e_message_title#>: <#e_message#>\");");
}

// Each selector map is built once per request, however often its source is asked.
TEST_F(TemplateMapTest, ImageMapIsBuiltOncePerRequest) {
    dir.Write("ie/KWIRL/files/img/spin.gif", "GIF");
    dir.Write("ie/KWIRL/files/img/odd.png", "PNG");
    map["doc"] = "image";
    map["img"] = "spin";
    EXPECT_FALSE(Source("script").needsIntText());
    EXPECT_EQ(Load("script"), "GIF");
    EXPECT_EQ(LoadedType(), "image/gif");
    const std::string log = Log();
    const size_t first = log.find("File type undefined.");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("File type undefined.", first + 1), std::string::npos) << log;
}

TEST(CommandMapSharingTest, RequestsInTurnShareOneMapAndEachReadsItsOwnValues) {
    testsupport::TempDir dir;
    // Each request has its own template folder and format; "sc" picks its variant by the format.
    const struct {
        const char* folder;
        const char* format;
        const char* scType;
    } rows[] = {{"first", "", kXml}, {"second", "json", kJs}, {"third", "", kXml}};
    const auto Seed = [&](StringMap& map, const std::string& folder, const char* format) {
        dir.Write(folder + "/text.html", folder);
        map[":tmpl_dir:"] = dir.str() + folder + "/";
        map[":d_tmpl_d:"] = dir.str() + folder + "/";
        map["format"] = format;
    };
    const TemplateInformation* shared = nullptr;
    for (const auto& row : rows) {
        StringMap map;
        InternalData data;
        Seed(map, row.folder, row.format);
        TemplateInit_FLT().apply(map, data);
        const auto& commands = data.Get<TemplateMap>(idkey::TemplateMap);
        if (shared != nullptr) {
            EXPECT_EQ(&*commands["spell"], shared) << row.folder;
        }
        shared = &*commands["spell"];
        EXPECT_EQ(commands["spell"]->content(), row.folder);
        EXPECT_EQ(commands["sc"]->contentType(), row.scType) << row.folder;
        {
            // A request that begins while this one holds its map gets a map of its own.
            StringMap other;
            InternalData otherData;
            Seed(other, std::string(row.folder) + "-other", "json");
            TemplateInit_FLT().apply(other, otherData);
            const auto& otherCommands = otherData.Get<TemplateMap>(idkey::TemplateMap);
            EXPECT_NE(&*otherCommands["spell"], shared);
            EXPECT_EQ(otherCommands["spell"]->content(), std::string(row.folder) + "-other");
            EXPECT_EQ(otherCommands["sc"]->contentType(), kJs);
        }
        EXPECT_EQ(commands["spell"]->content(), row.folder);
        EXPECT_EQ(commands["sc"]->contentType(), row.scType) << row.folder;
    }
}
