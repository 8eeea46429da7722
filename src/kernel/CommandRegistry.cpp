#include "kernel/CommandRegistry.h"

CommandRegistry& CommandRegistry::Of(Program program) {
    static CommandRegistry orthd;
    static CommandRegistry ferrix;
    return program == Program::Orthd ? orthd : ferrix;
}

CommandRegistry::Factory CommandRegistry::Find(const std::string& name) const {
    auto it = factories_.find(name);
    return it == factories_.end() ? nullptr : it->second;
}

CommandRegistry::Factory CommandRegistry::Resolve(const std::string& command) const {
    for (const std::string& name : {command, std::string("alternate"), std::string("default")})
        if (Factory factory = Find(name)) return factory;
    return nullptr;
}

std::vector<std::string> CommandRegistry::Names() const {
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories_)
        if (factory) names.push_back(name);
    return names;
}
