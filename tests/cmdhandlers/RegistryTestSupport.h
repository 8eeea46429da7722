#pragma once
// Whether a command name reaches the handler it should: a handler whose registration object the
// linker dropped would fall back to "default" without a sound.
#include <string>
#include <typeinfo>

#include "kernel/CommandRegistry.h"

template <typename Expected>
bool ResolvesTo(const std::string& command) {
    auto factory = CommandRegistry::Of(Program::Orthd).Resolve(command);
    if (factory == nullptr) return false;
    CommandHandlerRef handler(factory());
    return typeid(*handler) == typeid(Expected);
}
