#include "orthd/TemplateInit_FLT.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/JSONGetLangListTemplateMap.h"
#include "orthd/templatemaps/TemplateSources.h"
#include "orthd/templatemaps/makeOptionsTemplateMap.h"
#include "orthd/templatemaps/makeScriptTemplateMap.h"
#include "orthd/templatemaps/makeXML_JSONAPIVersionTemplateMap.h"
#include "orthd/templatemaps/makeXML_JSONCheckSpellingTemplateMap.h"
#include "orthd/templatemaps/makeXML_JSONGetOptTemplateMap.h"
#include "orthd/templatemaps/makeXML_JSONTemplateMap.h"
#include "utils/InternalDataKeys.h"

namespace orthd {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

void SetAll(TemplateMap& commands, std::initializer_list<const char*> names,
            const TemplateInformationRef& source) {
    for (const char* name : names) commands.set(name, source);
}

TemplateMap BuildCommandMap(const std::shared_ptr<const RequestStores>& stores) {
    const auto html = [&](const char* file, bool needsIntText) {
        return FileSource(ctype::kHtml, file, stores, needsIntText);
    };
    TemplateMap commands;
    // "eos", "check", "status" and "unknown" never load their template; the empty file name only
    // gives them a content type.
    SetAll(commands, {"eos", "check", "unknown", "status"}, html("", false));
    commands.set("navbar", html("top.html", true));
    SetAll(commands, {"spell", "grammar", "thes", "ants"}, html("text.html", false));
    commands.set("get_opt", SelectorSource<makeXML_JSONGetOptTemplateMap>("format", stores));
    SetAll(commands,
           {"kwirl_spell", "kwirl_suggest", "kwirl_add_word", "spellcheck", "sc", "kwirl_spelltext",
            "kwirl_grammar", "dictionary"},
           SelectorSource<makeXML_JSONTemplateMap>("format", stores));
    commands.set("get_lang_list", SelectorSource<JSONGetLangListTemplateMap>("format", stores));
    commands.set("check_spelling",
                 SelectorSource<makeXML_JSONCheckSpellingTemplateMap>("format", stores));
    commands.set("api_version",
                 SelectorSource<makeXML_JSONAPIVersionTemplateMap>("format", stores));
    commands.set("suggest", html("spell_dlg.html", true));
    commands.set("suggram", html("gram_dlg.html", true));
    commands.set("getthes", html("thes_dlg.html", true));
    commands.set("getants", html("ants_dlg.html", true));
    commands.set("finish", html("finish.html", true));
    commands.set("spellsuggestall", html("spellsuggestall.html", false));
    commands.set("img", html("images.html", false));
    SetAll(commands,
           {"sp_ch", "sp_ch_all", "sp_add", "sp_ig", "sp_ig_all", "gr_ig", "gr_ig_all", "gr_ch",
            "th_ch"},
           html("text.html", false));
    SetAll(commands, {"ospshow", "ospsave", "create", "delete", "rename", "restore"},
           SelectorSource<makeOptionsTemplateMap>("kwirlflag", stores));
    commands.set("aboutshow", html("kwirl_about.tmpl", false));
    commands.set("langshow", html("kwirl_lang.tmpl", false));
    commands.set("kwirl_optshow", html("kwirl_opt.html", false));
    commands.set("script", SelectorSource<makeScriptTemplateMap>("doc", stores));
    commands.set("error_conversion", FileSource(ctype::kXsl, "QDR/error.xsl", stores, false));
    SetAll(commands, {"flash_spell", "languages"}, InlineSource(ctype::kXml, kXmlViewFrame, false));
    commands.set("ui_strings", InlineSource(ctype::kXml, kXmlViewFrame, true));
    return commands;
}

// The command map of this process, built on its first request. Each request gets a copy that
// shares the entries, with the stores pointed at it; a request that begins while an earlier one
// still holds its copy (never in the FastCGI loop) gets a map of its own.
struct CachedCommands {
    std::shared_ptr<RequestStores> stores = std::make_shared<RequestStores>();
    TemplateMap commands = BuildCommandMap(stores);
};

TemplateMap CommandMapFor(StringMap& map, InternalData& data) {
    static CachedCommands cached;
    if (cached.commands.sharers() > 1)
        return BuildCommandMap(std::make_shared<const RequestStores>(map, data));
    cached.stores->bind(map, data);
    return cached.commands;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void TemplateInit_FLT::apply(StringMap& map, InternalData& data) {
    try {
        data.Insert(idkey::TemplateMap, CommandMapFor(map, data));
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(TemplateInit_FLTException,
                   std::string("TemplateInit_FLT::apply() - internal error. ") + e.what());
    } catch (...) {
        VERB_THROW(TemplateInit_FLTException, "TemplateInit_FLT::apply() - internal error.");
    }
}

std::string TemplateInit_FLT::matchNameTemplate(const std::string& nameTemplate,
                                                const std::string& name) {
    const size_t star = nameTemplate.find('*');
    if (star == std::string::npos) VERB_THROW(EInvalidTemplate, "File name template is invalid");
    const size_t fixedLength = nameTemplate.size() - 1;
    if (name.size() < fixedLength || name.compare(0, star, nameTemplate, 0, star) != 0 ||
        name.compare(name.size() - (fixedLength - star), std::string::npos, nameTemplate,
                     star + 1) != 0)
        VERB_THROW(ENotMatch, "File name does not match the name template");
    return name.substr(star, name.size() - fixedLength);
}

std::vector<std::string> TemplateInit_FLT::listFiles(const std::string& directory,
                                                     const std::string& pattern) {
    std::vector<std::string> names;
    const std::string prefix =
        directory.empty() || directory.back() == '/' ? directory : directory + "/";
    DirPtr dir(::opendir(prefix.empty() ? "." : prefix.c_str()));
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (::fnmatch(pattern.c_str(), name.c_str(), 0) == 0 && IsRegularFile(prefix + name))
            names.push_back(name);
    }
    return names;
}

}  // namespace orthd
