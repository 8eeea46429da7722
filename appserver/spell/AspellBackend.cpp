#include "spell/AspellBackend.h"

#include <aspell.h>

#include <fstream>
#include <set>
#include <stdexcept>

#include "spell/LanguageName.h"

namespace {

struct ConfigDeleter {
    void operator()(AspellConfig* config) const { delete_aspell_config(config); }
};
using ConfigPtr = std::unique_ptr<AspellConfig, ConfigDeleter>;

ConfigPtr MakeConfig(const std::string& dictDir) {
    ConfigPtr config(new_aspell_config());
    if (!config) throw std::runtime_error("aspell: cannot create a configuration");
    aspell_config_replace(config.get(), "dict-dir", dictDir.c_str());
    aspell_config_replace(config.get(), "data-dir", dictDir.c_str());
    aspell_config_replace(config.get(), "encoding", "utf-8");
    aspell_config_replace(config.get(), "sug-mode", "normal");
    return config;
}

}  // namespace

void AspellBackend::SpellerDeleter::operator()(AspellSpeller* speller) const {
    delete_aspell_speller(speller);
}

AspellBackend::AspellBackend(const std::string& dictDir, const std::string& language) {
    ConfigPtr config = MakeConfig(dictDir);
    aspell_config_replace(config.get(), "lang", language.c_str());
    AspellCanHaveError* result = new_aspell_speller(config.get());
    if (aspell_error_number(result) != 0) {
        const std::string message = aspell_error_message(result);
        delete_aspell_can_have_error(result);
        throw std::runtime_error("aspell: cannot open " + language + ": " + message);
    }
    speller_.reset(to_aspell_speller(result));
}

bool AspellBackend::Check(std::string_view word) {
    return aspell_speller_check(speller_.get(), word.data(), static_cast<int>(word.size())) == 1;
}

std::vector<std::string> AspellBackend::Suggest(std::string_view word, size_t max) {
    std::vector<std::string> out;
    ++suggested_;
    const AspellWordList* list =
        aspell_speller_suggest(speller_.get(), word.data(), static_cast<int>(word.size()));
    if (!list) return out;
    AspellStringEnumeration* items = aspell_word_list_elements(list);
    while (out.size() < max) {
        const char* item = aspell_string_enumeration_next(items);
        if (!item) break;
        out.emplace_back(item);
    }
    delete_aspell_string_enumeration(items);
    return out;
}

std::vector<std::string> AspellBackend::DictionaryWords() {
    std::vector<std::string> out;
    const AspellWordList* list = aspell_speller_main_word_list(speller_.get());
    if (!list) return out;
    AspellStringEnumeration* items = aspell_word_list_elements(list);
    while (const char* item = aspell_string_enumeration_next(items)) {
        const std::string_view word(item);
        out.emplace_back(word.substr(0, word.find('/')));
    }
    delete_aspell_string_enumeration(items);
    return out;
}

std::vector<std::string> AspellBackend::InstalledLanguages(const std::string& dictDir) {
    ConfigPtr config = MakeConfig(dictDir);
    std::set<std::string> names;
    AspellDictInfoEnumeration* infos =
        aspell_dict_info_list_elements(get_aspell_dict_info_list(config.get()));
    while (const AspellDictInfo* info = aspell_dict_info_enumeration_next(infos))
        if (info->name && LanguageName::LooksLikeLanguage(info->name)) names.insert(info->name);
    delete_aspell_dict_info_enumeration(infos);
    return {names.begin(), names.end()};
}

namespace {

// Appends the word lists that `multi` adds ("add NAME" lines; NAME relative to `dictDir` unless
// absolute; a NAME.multi is followed) to `files`.
void AddWordListFiles(const std::string& dictDir, const std::string& multi, int depth,
                      std::vector<std::string>& files, size_t& opened) {
    // .multi files count against the limit too, so that one naming itself many times ends soon.
    if (depth > AspellBackend::kMaxMultiDepth || ++opened > AspellBackend::kMaxWordListFiles)
        return;
    std::ifstream in(multi);
    if (!in) return;
    std::string line;
    while (std::getline(in, line) && files.size() < AspellBackend::kMaxWordListFiles) {
        if (line.rfind("add ", 0) != 0) continue;
        std::string name = line.substr(4);
        name.erase(name.find_last_not_of(" \t\r") + 1);
        if (name.empty()) continue;
        const std::string path = name.front() == '/' ? name : dictDir + "/" + name;
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".multi") == 0)
            AddWordListFiles(dictDir, path, depth + 1, files, opened);
        else
            files.push_back(path);
    }
}

}  // namespace

std::vector<std::string> AspellBackend::WordListFiles(const std::string& dictDir,
                                                      const std::string& language) {
    std::vector<std::string> files;
    size_t opened = 0;
    AddWordListFiles(dictDir, dictDir + "/" + language + ".multi", 0, files, opened);
    return files;
}
