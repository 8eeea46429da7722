#include "cmdhandlers/Dictionary/NextCommand.h"

#include "kernel/CommandRegistry.h"

void RunNextCommand(StringMap& map, InternalData& data, const std::string& command) {
    map["cmd"] = command;
    const CommandRegistry::Factory factory = CommandRegistry::Of(Program::Orthd).Resolve(command);
    if (factory == nullptr) return;
    CommandHandlerRef handler(factory());
    handler->apply(map, data);
}
