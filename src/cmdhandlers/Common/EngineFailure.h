#pragma once
// The way the direct engine commands fail: one log line naming the handler and the cause, then
// the critical command-handler exception that the answer shows.
#include "kernel/CommandHandler.h"

// Logs "<handler>::apply() *ERROR* <cause>" and throws CommandHandler::criticalException with
// `message`, raised from `sourceFile` (__FILE__ of the command) at `line`.
[[noreturn]] void FailCritically(const char* handler, const char* cause, const char* message,
                                 const char* sourceFile, int line);
