#include "spell/HunspellBackend.h"

#include <unicode/ucnv.h>

#include <filesystem>
#include <fstream>
#include <hunspell/hunspell.hxx>
#include <set>
#include <stdexcept>

#include "spell/LanguageName.h"

namespace {

bool IsUtf8Name(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name == "UTF-8" || name == "UTF8";
}

// Converts between two encodings with ICU; false on an unmappable or malformed input.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out) {
    if (in.empty()) {
        out.clear();
        return true;
    }
    out.resize(in.size() * 4 + 8);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()),
                                         in.data(), static_cast<int32_t>(in.size()), &status);
    if (U_FAILURE(status)) return false;
    out.resize(static_cast<size_t>(written));
    return true;
}

}  // namespace

HunspellBackend::HunspellBackend(const std::string& affPath, const std::string& dicPath) {
    if (!std::filesystem::is_regular_file(affPath) || !std::filesystem::is_regular_file(dicPath))
        throw std::runtime_error("hunspell: missing " + affPath + " or " + dicPath);
    dicPath_ = dicPath;
    hunspell_ = std::make_unique<Hunspell>(affPath.c_str(), dicPath.c_str());
    const char* encoding = hunspell_->get_dic_encoding();
    if (encoding && *encoding && !IsUtf8Name(encoding)) encoding_ = encoding;
}

HunspellBackend::~HunspellBackend() = default;

bool HunspellBackend::ToDictionary(std::string_view utf8, std::string& out) const {
    if (encoding_.empty()) {
        out.assign(utf8);
        return true;
    }
    return Convert(encoding_.c_str(), "UTF-8", utf8, out);
}

std::string HunspellBackend::FromDictionary(const std::string& encoded) const {
    if (encoding_.empty()) return encoded;
    std::string out;
    return Convert("UTF-8", encoding_.c_str(), encoded, out) ? out : std::string();
}

bool HunspellBackend::Check(std::string_view word) {
    std::string encoded;
    if (!ToDictionary(word, encoded)) return false;
    return hunspell_->spell(encoded);
}

std::vector<std::string> HunspellBackend::Suggest(std::string_view word, size_t max) {
    std::vector<std::string> out;
    std::string encoded;
    if (!ToDictionary(word, encoded)) return out;
    for (const std::string& s : hunspell_->suggest(encoded)) {
        if (out.size() >= max) break;
        std::string utf8 = FromDictionary(s);
        if (!utf8.empty()) out.push_back(std::move(utf8));
    }
    return out;
}

std::vector<std::string> HunspellBackend::DictionaryWords() {
    std::vector<std::string> out;
    std::ifstream in(dicPath_, std::ios::binary);
    std::string line;
    std::getline(in, line);  // the number of entries
    while (std::getline(in, line)) {
        // "stem/FLAGS", a tab may start morphological fields; "\/" is a slash inside the stem.
        size_t end = line.find_first_of("/\t\r");
        while (end != std::string::npos && end > 0 && line[end] == '/' && line[end - 1] == '\\')
            end = line.find_first_of("/\t\r", end + 1);
        std::string word = FromDictionary(line.substr(0, end));
        if (!word.empty()) out.push_back(std::move(word));
    }
    return out;
}

std::vector<std::string> HunspellBackend::InstalledLanguages(const std::string& dir) {
    namespace fs = std::filesystem;
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (path.extension() != ".aff") continue;
        const std::string stem = path.stem().string();
        fs::path dic = path;
        dic.replace_extension(".dic");
        if (LanguageName::LooksLikeLanguage(stem) && fs::exists(dic)) names.insert(stem);
    }
    return {names.begin(), names.end()};
}
