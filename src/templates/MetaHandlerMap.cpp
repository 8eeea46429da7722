#include "templates/MetaHandlerMap.h"

#include "templates/DefMetaHandlerWithEscaping.h"

DefMetaHandler* MetaHandlerMap::MakeDefault() { return new DefMetaHandler(); }
DefMetaHandler* MetaHandlerMap::MakeEscaping() { return new DefMetaHandlerWithEscaping(); }

void MetaHandlerMap::Register(const std::string& name, DefMetaHandler* handler) {
    handlers_[name] = ref_ptr<DefMetaHandler>(handler);
}

DefMetaHandler& MetaHandlerMap::operator[](const std::string& name) {
    auto it = handlers_.find(name);
    if (it == handlers_.end())
        it = handlers_.emplace(name, ref_ptr<DefMetaHandler>(makeDefault_())).first;
    return *it->second;
}
