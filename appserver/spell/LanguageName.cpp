#include "spell/LanguageName.h"

namespace {
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
}  // namespace

bool LanguageName::LooksLikeLanguage(std::string_view name) {
    const size_t underscore = name.find('_');
    const std::string_view base = name.substr(0, underscore);
    if (base.size() < 2 || base.size() > 3) return false;
    for (char c : base)
        if (!IsLower(c)) return false;
    if (underscore == std::string_view::npos) return true;
    const std::string_view region = name.substr(underscore + 1);
    return region.size() == 2 && IsUpper(region[0]) && IsUpper(region[1]);
}

std::string LanguageName::Normalize(std::string_view name) {
    std::string out(name);
    const size_t sep = out.find_first_of("-_");
    if (sep == std::string::npos) return out;
    out[sep] = '_';
    for (size_t i = 0; i < sep; ++i)
        if (IsUpper(out[i])) out[i] = static_cast<char>(out[i] - 'A' + 'a');
    for (size_t i = sep + 1; i < out.size(); ++i)
        if (IsLower(out[i])) out[i] = static_cast<char>(out[i] - 'a' + 'A');
    return out;
}

std::string LanguageName::BaseOf(std::string_view name) {
    return std::string(name.substr(0, name.find('_')));
}
