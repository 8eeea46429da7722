#pragma once
// How the informational commands report what goes wrong inside them: command-handler exceptions
// pass unchanged; a missing typed value becomes the "default language" error where the command
// reads typed values; anything else is logged as "<handler>::apply() *ERROR* <cause>" and becomes
// the command's own internal-error exception.
#include <exception>

#include "kernel/CommandHandler.h"
#include "utils/ErrorBase.h"
#include "utils/logging/Logger.h"

namespace info {

inline constexpr char kLanguageNotConfigured[] =
    "The default language is not configured correctly.";

struct CommandFailure {
    const char* handlerName;    // logged: "<handlerName>::apply() *ERROR* <cause>"
    const char* internalError;  // message of the command-handler exception
    const char* sourceFile;     // __FILE__ of the command: the module the error names
    int line;
    bool missingValueIsLanguageError = false;
};

[[noreturn]] void ThrowMapped(const CommandFailure& failure);

template <typename Body>
void RunReported(const CommandFailure& failure, Body&& body) {
    try {
        body();
    } catch (...) {
        ThrowMapped(failure);
    }
}

}  // namespace info
