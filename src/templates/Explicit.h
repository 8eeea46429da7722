#pragma once
// Explicit<V, Absent>: an ordered map from name to V whose lookups never create entries: looking
// up a missing name throws Absent. Entries are added with set().
// Copies share their entries until one of them is changed (copy on write): a map built once can
// be handed to every request for the price of a counter.
#include <map>
#include <memory>
#include <string>

template <typename V, typename Absent>
class Explicit {
  public:
    using Map = std::map<std::string, V>;

    const V& operator[](const std::string& name) const {
        const Map& entries = view();
        const auto it = entries.find(name);
        if (it == entries.end()) throw Absent();
        return it->second;
    }
    void set(const std::string& name, V value) { own()[name] = std::move(value); }
    bool contains(const std::string& name) const { return view().count(name) != 0; }
    size_t size() const { return view().size(); }
    typename Map::const_iterator begin() const { return view().begin(); }
    typename Map::const_iterator end() const { return view().end(); }
    // How many maps share these entries (0 for a map never set).
    long sharers() const { return entries_.use_count(); }

  private:
    const Map& view() const {
        static const Map kEmpty;
        return entries_ ? *entries_ : kEmpty;
    }
    Map& own() {
        if (!entries_)
            entries_ = std::make_shared<Map>();
        else if (entries_.use_count() > 1)
            entries_ = std::make_shared<Map>(*entries_);
        return *entries_;
    }

    std::shared_ptr<Map> entries_;
};
