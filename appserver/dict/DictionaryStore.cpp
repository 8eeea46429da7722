#include "dict/DictionaryStore.h"

#include "core/EngineError.h"
#include "core/Utf8.h"
#include "dict/PostgresDictionaryStore.h"
#include "dict/SqliteDictionaryStore.h"

namespace {

bool ValidEntry(std::string_view text, size_t maxBytes) {
    return !text.empty() && text.size() <= maxBytes && Utf8::IsValid(text) &&
           Utf8::HasNoControls(text) && text.find(',') == std::string_view::npos;
}

}  // namespace

bool DictionaryStore::IsDatabaseUri(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::unique_ptr<DictionaryStore> DictionaryStore::Open(const std::string& location,
                                                       size_t maxTotalBytes) {
    if (IsDatabaseUri(location))
        return std::make_unique<PostgresDictionaryStore>(location, maxTotalBytes);
    return std::make_unique<SqliteDictionaryStore>(location, maxTotalBytes);
}

std::string DictionaryStore::NormalName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '\x08') c = ' ';
    return out;
}

std::string DictionaryStore::ValidName(std::string_view name) {
    std::string normal = NormalName(name);
    if (!ValidEntry(normal, kMaxNameBytes) || normal == "[/]")
        throw EngineError("Invalid user dictionary name");
    return normal;
}

std::string DictionaryStore::NameOrEmpty(std::string_view name) {
    std::string normal = NormalName(name);
    return ValidEntry(normal, kMaxNameBytes) ? normal : std::string();
}

std::vector<std::string> DictionaryStore::ValidWords(std::string_view word,
                                                     std::string_view wordList) {
    std::vector<std::string> words;
    auto add = [&words](std::string_view w) {
        if (w.empty()) return;
        if (!ValidEntry(w, kMaxWordBytes))
            throw EngineError("Invalid word for a user dictionary (at most " +
                              std::to_string(kMaxWordBytes) + " bytes of text)");
        words.emplace_back(w);
    };
    if (word.find(',') != std::string_view::npos) {
        throw EngineError("Invalid word for a user dictionary (a comma)");
    }
    add(word);
    size_t start = 0;
    while (start <= wordList.size()) {
        size_t end = wordList.find(',', start);
        if (end == std::string_view::npos) end = wordList.size();
        add(wordList.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string DictionaryStore::TooManyWordsMessage() {
    return "User dictionary is full (at most " + std::to_string(kMaxWords) + " words)";
}

std::string DictionaryStore::TooManyBytesMessage() {
    return "User dictionary is full (at most " + std::to_string(kMaxDictionaryBytes) +
           " bytes of words)";
}

std::string DictionaryStore::NoRoomMessage() { return "No room for more user dictionary words"; }
