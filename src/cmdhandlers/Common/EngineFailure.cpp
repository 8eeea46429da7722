#include "cmdhandlers/Common/EngineFailure.h"

#include "utils/logging/Logger.h"

void FailCritically(const char* handler, const char* cause, const char* message,
                    const char* sourceFile, int line) {
    report_error("%s::apply() *ERROR* %s", handler, cause);
    throw CommandHandler::criticalException(message, ModuleOf(sourceFile), line);
}
