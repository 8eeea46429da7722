#include "utils/RequestValueRecord.h"

void RequestValueRecord::Fill(const std::string& key, std::string value) {
    entries_[key] = Entry{std::move(value), std::nullopt};
}

void RequestValueRecord::NoteHtmlEscaped(const std::string& key, std::string escaped) {
    const auto it = entries_.find(key);
    if (it != entries_.end()) it->second.escaped = std::move(escaped);
}

const RequestValueRecord::Entry* RequestValueRecord::entryFor(const std::string& key,
                                                              const std::string& current) const {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    const Entry& entry = it->second;
    if ((entry.escaped && current == *entry.escaped) || current == entry.requestText) return &entry;
    return nullptr;
}

std::optional<RequestValueRecord::Origin> RequestValueRecord::OriginOf(
    const std::string& key, const std::string& current) const {
    const Entry* entry = entryFor(key, current);
    if (entry == nullptr) return std::nullopt;
    return Origin{entry->requestText, entry->escaped && current == *entry->escaped};
}
