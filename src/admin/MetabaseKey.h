#pragma once
// A key of the metabase tree held in memory: its name, its properties and its sub-keys in the
// order they were added.
#include <string>
#include <string_view>
#include <vector>

#include "admin/Metabase.h"
#include "admin/MetabaseRecord.h"

namespace vdirkit {

class MetabaseKey {
  public:
    explicit MetabaseKey(std::string name = {}) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    const std::vector<MetabaseKey>& children() const { return children_; }
    const std::vector<MetabaseRecord>& records() const { return records_; }

    // True for a usable key name: non-empty UTF-8 without '/', '\\' or control characters.
    static bool IsValidName(std::string_view name);

    // The key at `path` below this one, or null. Pointers are invalidated by Add and AddChild.
    const MetabaseKey* Find(std::string_view path) const;
    MetabaseKey* Find(std::string_view path);

    // Adds the missing keys along `path`. kAlreadyExists when all were there,
    // kInvalidParameter (nothing added) for an empty path or an invalid name in it.
    MetabaseStatus Add(std::string_view path);

    // A direct sub-key named `name` (unchecked); null when one of that name exists already.
    MetabaseKey* AddChild(std::string name);

    // The property `id`, or null.
    const MetabaseRecord* Record(uint32_t id) const;
    // Replaces or appends the property record.id.
    void SetRecord(MetabaseRecord record);

    bool operator==(const MetabaseKey&) const = default;

  private:
    const MetabaseKey* Child(std::string_view name) const;

    std::string name_;
    std::vector<MetabaseRecord> records_;
    std::vector<MetabaseKey> children_;
};

// `path` split at '/', empty parts dropped.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

}  // namespace vdirkit
