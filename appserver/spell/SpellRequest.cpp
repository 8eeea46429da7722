#include "spell/SpellRequest.h"

#include <string_view>

namespace {

constexpr size_t kLanguageParam = 0;
constexpr size_t kOptionsParam = 2;
constexpr size_t kTextParam = 3;
constexpr size_t kIgnoredWordsParam = 4;
constexpr size_t kUserDictionariesParam = 5;
constexpr size_t kIgnoredPositionsParam = 6;
constexpr size_t kMaxPositionDigits = 12;
// Personal dictionaries read for one call; further "$name" entries are ignored.
constexpr size_t kMaxPersonalDictionaries = 16;

template <typename Fn>
void ForEachEntry(std::string_view list, Fn fn) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) fn(list.substr(start, end - start));
        start = end + 1;
    }
}

bool On(const std::string& options, size_t index) {
    return index < options.size() && options[index] == '1';
}

}  // namespace

SpellRequest SpellRequest::Parse(const std::vector<std::string>& params) {
    SpellRequest request;
    request.language = params.at(kLanguageParam);
    const std::string& options = params.at(kOptionsParam);
    request.options = {On(options, 0), On(options, 1), On(options, 2), On(options, 3)};
    request.text = params.at(kTextParam);
    ForEachEntry(params.at(kIgnoredWordsParam),
                 [&](std::string_view w) { request.ignoredWords.emplace(w); });
    ForEachEntry(params.at(kUserDictionariesParam), [&](std::string_view entry) {
        if (entry.front() == '$') {
            if (entry.size() > 1 && request.personalDictionaries.size() < kMaxPersonalDictionaries)
                request.personalDictionaries.emplace_back(entry.substr(1));
        } else {
            request.acceptedWords.emplace_back(entry);
        }
    });
    if (params.size() > kIgnoredPositionsParam) {
        ForEachEntry(params[kIgnoredPositionsParam], [&](std::string_view entry) {
            while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
            while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
            if (entry.empty() || entry.size() > kMaxPositionDigits) return;
            size_t value = 0;
            for (char c : entry) {
                if (c < '0' || c > '9') return;
                value = value * 10 + static_cast<size_t>(c - '0');
            }
            request.ignoredPositions.insert(value);
        });
    }
    return request;
}
