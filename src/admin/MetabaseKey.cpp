#include "admin/MetabaseKey.h"

#include <algorithm>

#include "admin/TextChecks.h"

namespace vdirkit {
std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

bool MetabaseKey::IsValidName(std::string_view name) {
    if (name.empty() || !IsValidUtf8(name)) return false;
    return std::none_of(name.begin(), name.end(), [](unsigned char c) {
        return c == '/' || c == '\\' || c < 0x20 || c == 0x7F;
    });
}

const MetabaseKey* MetabaseKey::Child(std::string_view name) const {
    for (const auto& child : children_)
        if (EqualsIgnoringAsciiCase(child.name_, name)) return &child;
    return nullptr;
}

const MetabaseKey* MetabaseKey::Find(std::string_view path) const {
    const MetabaseKey* key = this;
    for (const auto part : SplitKeyPath(path))
        if ((key = key->Child(part)) == nullptr) return nullptr;
    return key;
}

MetabaseKey* MetabaseKey::Find(std::string_view path) {
    return const_cast<MetabaseKey*>(static_cast<const MetabaseKey*>(this)->Find(path));
}

MetabaseStatus MetabaseKey::Add(std::string_view path) {
    const auto parts = SplitKeyPath(path);
    if (parts.empty() || !std::all_of(parts.begin(), parts.end(), IsValidName))
        return MetabaseError::kInvalidParameter;
    MetabaseKey* key = this;
    bool added = false;
    for (const auto part : parts) {
        if (MetabaseKey* existing = const_cast<MetabaseKey*>(key->Child(part))) {
            key = existing;
        } else {
            key = key->AddChild(std::string(part));
            added = true;
        }
    }
    return added ? MetabaseError::kSuccess : MetabaseError::kAlreadyExists;
}

MetabaseKey* MetabaseKey::AddChild(std::string name) {
    if (Child(name) != nullptr) return nullptr;
    return &children_.emplace_back(std::move(name));
}

const MetabaseRecord* MetabaseKey::Record(uint32_t id) const {
    for (const auto& record : records_)
        if (record.id == id) return &record;
    return nullptr;
}

void MetabaseKey::SetRecord(MetabaseRecord record) {
    for (auto& existing : records_) {
        if (existing.id == record.id) {
            existing = std::move(record);
            return;
        }
    }
    records_.push_back(std::move(record));
}

}  // namespace vdirkit
