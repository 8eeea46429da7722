#pragma once
// Maps command names (lower case, compared bytewise) to handler factories. Each program has its
// own registry so that one test binary can hold the handlers of both programs.
//
// Filled by static CommandRegistration objects before main() runs and only read afterwards.
// Registering a name twice keeps the last factory. Handler sources must be linked as object
// files (not from a static archive), or their registration objects vanish.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kernel/CommandHandler.h"

enum class Program { Orthd, Ferrix };

class CommandRegistry {
  public:
    using Factory = CommandHandler* (*)();

    // The registry of `program`, created on first use.
    static CommandRegistry& Of(Program program);

    void Register(const std::string& name, Factory factory) { factories_[name] = factory; }
    // The factory registered under `name`, or nullptr.
    Factory Find(const std::string& name) const;
    // The handler for `command`: its own entry, else "alternate", else "default"; nullptr if none.
    Factory Resolve(const std::string& command) const;
    std::vector<std::string> Names() const;

  private:
    std::map<std::string, Factory> factories_;
};

// A static object of this type registers one command name: see VERB_REGISTER_COMMAND.
struct CommandRegistration {
    CommandRegistration(Program program, const char* name, CommandRegistry::Factory factory) {
        CommandRegistry::Of(program).Register(name, factory);
    }
};

template <typename Handler>
CommandHandler* MakeHandler() {
    return new Handler();
}

#define VERB_CONCAT_INNER(a, b) a##b
#define VERB_CONCAT(a, b) VERB_CONCAT_INNER(a, b)
// VERB_REGISTER_COMMAND(Program::Orthd, "spell", Spell_CH);
#define VERB_REGISTER_COMMAND(program, name, Handler)                                   \
    static const CommandRegistration VERB_CONCAT(verb_command_registration_, __LINE__)( \
        program, name, &MakeHandler<Handler>)
