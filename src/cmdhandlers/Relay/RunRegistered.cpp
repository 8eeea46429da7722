#include "cmdhandlers/Relay/RunRegistered.h"

#include "kernel/CommandRegistry.h"

namespace ferrix {

bool RunRegistered(std::initializer_list<const char*> names, StringMap& map, InternalData& data) {
    for (const char* name : names) {
        const auto factory = CommandRegistry::Of(Program::Ferrix).Find(name);
        if (factory == nullptr) continue;
        CommandHandlerRef handler(factory());
        handler->apply(map, data);
        return true;
    }
    return false;
}

}  // namespace ferrix
