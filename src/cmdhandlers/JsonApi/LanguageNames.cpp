#include "cmdhandlers/JsonApi/LanguageNames.h"

#include <algorithm>
#include <map>

namespace {

const std::map<std::string, std::string, std::less<>>& Names() {
    static const std::map<std::string, std::string, std::less<>> names = {
        {"ar", "Arabic"},
        {"ca", "Catalan"},
        {"cs", "Czech"},
        {"da", "Danish"},
        {"de", "German"},
        {"de_AT", "German (Austria)"},
        {"de_CH", "German (Swiss)"},
        {"de_DE", "German (Germany)"},
        {"el", "Greek"},
        {"en", "English"},
        {"en_AU", "English (Australian)"},
        {"en_CA", "English (Canadian)"},
        {"en_GB", "English (GB)"},
        {"en_NZ", "English (New Zealand)"},
        {"en_US", "English (US)"},
        {"en_ZA", "English (South African)"},
        {"es", "Spanish"},
        {"fi", "Finnish"},
        {"fr", "French"},
        {"he", "Hebrew"},
        {"hu", "Hungarian"},
        {"it", "Italian"},
        {"nl", "Dutch"},
        {"no", "Norwegian"},
        {"pl", "Polish"},
        {"pt", "Portuguese"},
        {"pt_BR", "Portuguese (Brazil)"},
        {"pt_PT", "Portuguese (Portugal)"},
        {"ro", "Romanian"},
        {"ru", "Russian"},
        {"sk", "Slovak"},
        {"sv", "Swedish"},
        {"tr", "Turkish"},
        {"uk", "Ukrainian"},
        {"vi", "Vietnamese"},
    };
    return names;
}

std::string Replaced(std::string_view code, char from, char to) {
    std::string out(code);
    std::replace(out.begin(), out.end(), from, to);
    return out;
}

}  // namespace

std::string LanguageNames::EngineCode(std::string_view apiCode) {
    return Replaced(apiCode, '-', '_');
}

std::string LanguageNames::ApiCode(std::string_view engineCode) {
    return Replaced(engineCode, '_', '-');
}

std::string LanguageNames::Name(std::string_view engineCode) {
    const auto& names = Names();
    if (const auto found = names.find(engineCode); found != names.end()) return found->second;
    const std::string_view bare = engineCode.substr(0, engineCode.find('_'));
    if (const auto found = names.find(bare); found != names.end()) return found->second;
    return std::string(engineCode);
}
