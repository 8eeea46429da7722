#include "utils/RequestValueRecord.h"

void RequestValueRecord::Fill(const std::string& key, std::string value) {
    entries_[key] = Entry{std::move(value), std::nullopt};
}

void RequestValueRecord::NoteHtmlEscaped(const std::string& key, std::string escaped) {
    const auto it = entries_.find(key);
    if (it != entries_.end()) it->second.escaped = std::move(escaped);
}

std::optional<RequestValueRecord::Origin> RequestValueRecord::OriginOf(
    const std::string& key, const std::string& current) const {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return std::nullopt;
    const Entry& entry = it->second;
    if (entry.escaped && current == *entry.escaped) return Origin{entry.requestText, true};
    if (current == entry.requestText) return Origin{entry.requestText, false};
    return std::nullopt;
}
