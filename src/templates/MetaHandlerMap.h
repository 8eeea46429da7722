#pragma once
// The resolvers of one rendering, by placeholder name. Looking up a name without an entry
// creates the program's default resolver under that name (DefMetaHandler for orthd,
// DefMetaHandlerWithEscaping for the relay), so each distinct name gets one resolver.
#include <functional>
#include <map>
#include <string>

#include "templates/DefMetaHandler.h"

class MetaHandlerMap {
  public:
    // Makes a new resolver (count 0) for a name without an entry.
    using Factory = std::function<DefMetaHandler*()>;

    static DefMetaHandler* MakeDefault();
    static DefMetaHandler* MakeEscaping();

    explicit MetaHandlerMap(Factory makeDefault = &MakeDefault)
        : makeDefault_(std::move(makeDefault)) {}

    // Stores `handler` (a new object, count 0) under `name`, replacing any earlier entry.
    void Register(const std::string& name, DefMetaHandler* handler);
    DefMetaHandler& operator[](const std::string& name);
    bool contains(const std::string& name) const { return handlers_.count(name) != 0; }
    size_t size() const { return handlers_.size(); }

  private:
    Factory makeDefault_;
    std::map<std::string, ref_ptr<DefMetaHandler>> handlers_;
};
