#include "kernel/filters/PathControl_FLT.h"

#include <sys/stat.h>

#include <cstdlib>

#include "utils/InternalDataKeys.h"
#include "utils/PathSafety.h"

namespace {

constexpr char kDefaultSchema[] = "1000";
constexpr char kDefaultProgramName[] = "orthd.cgi";

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool PathControl_FLT::IsLimitedBrowser(const std::string& ua) {
    return ((Contains(ua, "MSIE 5") || Contains(ua, "MSIE 4.01")) && Contains(ua, "Mac")) ||
           Contains(ua, "4.5 ") || Contains(ua, "4.5;") ||
           (Contains(ua, "Mozilla") && Contains(ua, "rv:1.8")) || Contains(ua, "Opera");
}

void PathControl_FLT::ParseLookAndFeelMapping(const std::string& text,
                                              std::map<std::string, std::string>& mapping) {
    size_t i = text.find_first_not_of("\" \t");
    const auto isSep = [](char c) { return c == '|' || c == '\t' || c == ' '; };
    while (i != std::string::npos && i < text.size()) {
        while (i < text.size() && isSep(text[i])) ++i;
        if (i >= text.size()) break;
        const size_t keyStart = i;
        while (i < text.size() && !isSep(text[i])) ++i;
        std::string key = text.substr(keyStart, i - keyStart);
        while (i < text.size() && isSep(text[i])) ++i;
        const size_t valueStart = i;
        while (i < text.size() && text[i] != '|' && text[i] != '\t') ++i;
        mapping[key] = text.substr(valueStart, i - valueStart);
    }
}

std::string PathControl_FLT::lookAndFeelFor(const std::string& browser) {
    for (const auto& [key, value] : lookAndFeel_)
        if (!key.empty() && browser.find(key) != std::string::npos) return value;
    return lookAndFeel_["default"];
}

void PathControl_FLT::apply(StringMap& map, InternalData& data) {
    try {
        applyPaths(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(PathCntException,
                   std::string("PathControl::apply() - internal error. ") + e.what());
    } catch (...) {
        VERB_THROW(PathCntException, "PathControl::apply() - internal error.");
    }
}

void PathControl_FLT::applyPaths(StringMap& map, InternalData& data) {
    std::string defaultSchema = data.Get<std::string>(idkey::SchemaDef);
    std::string schema = map["schema"];
    if (data.Get<bool>(idkey::UseFerrixProtocol) && !map["ferrix_url"].empty()) {
        const std::string& url = map["ferrix_url"];
        map["HTTP_OR_HTTPS"] = url.substr(0, url.find("://"));
    }

    const std::string userAgent = EnvOrEmpty("HTTP_USER_AGENT");
    std::string browser = userAgent;
    if (map["orthdname"].empty()) map["orthdname"] = kDefaultProgramName;
    const bool limited = data.Find(idkey::ViaFerrix) ? data.Get<bool>(idkey::ViaFerrix)
                                                     : IsLimitedBrowser(userAgent);
    if (Contains(userAgent, "Netscape6/6.")) {
        browser = "MSIE 5.0";
        map["orthdname"].clear();
    } else if (limited) {
        map["orthdname"].clear();
    }

    ParseLookAndFeelMapping(map["lf_mapping"], lookAndFeel_);
    const std::string base = lookAndFeelFor(browser);
    map["lang"].clear();

    if (defaultSchema.empty() || !IsSafePathComponent(defaultSchema))
        defaultSchema = kDefaultSchema;
    if (!IsSafePathComponent(schema) || !Exists(base + schema)) schema = defaultSchema;
    if (!map["forced_int_lang"].empty()) map["intlang"] = map["forced_int_lang"];
    if (map["def_int_lang"].empty()) map["def_int_lang"] = "en_US";

    const std::string& intlang = map["intlang"];
    const std::string& schemaUrl = map["schema_url"];
    if (!schemaUrl.empty() && schemaUrl != map["schema_vd"] &&
        map["spp_langs"].find(intlang) != std::string::npos) {
        map["schema_vd"] = schemaUrl;
        if (!Exists(base + schema)) schema = defaultSchema;
    } else {
        const bool safeLang = intlang.empty() || IsSafePathComponent(intlang);
        // The same folder twice when the schema is the default one: nothing to choose.
        if (safeLang && schema != defaultSchema && !Exists(base + schema + "/img_" + intlang) &&
            Exists(base + defaultSchema + "/img_" + intlang))
            schema = defaultSchema;
        map["schema_vd"] += schema + "/";
    }

    map["schema"] = schema;
    map[":tmpl_dir:"] = base + schema + "/templ/";
    map[":d_tmpl_d:"] = base + defaultSchema + "/templ/";
    map[":banr_dir:"] = base + "banners/bansys.";
    map[":text_dir:"] =
        map["base_dir"].empty() ? map[":app_path:"] + "../texts/" : map["base_dir"] + "texts/";
}
