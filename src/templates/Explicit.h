#pragma once
// Explicit<V, Absent>: an ordered map from name to V whose lookups never create entries: looking
// up a missing name throws Absent. Entries are added with set().
#include <map>
#include <string>

template <typename V, typename Absent>
class Explicit {
  public:
    using Map = std::map<std::string, V>;

    const V& operator[](const std::string& name) const {
        const auto it = entries_.find(name);
        if (it == entries_.end()) throw Absent();
        return it->second;
    }
    void set(const std::string& name, V value) { entries_[name] = std::move(value); }
    bool contains(const std::string& name) const { return entries_.count(name) != 0; }
    size_t size() const { return entries_.size(); }
    typename Map::const_iterator begin() const { return entries_.begin(); }
    typename Map::const_iterator end() const { return entries_.end(); }

  private:
    Map entries_;
};
