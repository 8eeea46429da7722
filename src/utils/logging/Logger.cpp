#include "utils/logging/Logger.h"

#include "utils/logging/SimpleLogger.h"

ILogger& GetLogger() {
    static SimpleLogger logger;
    return logger;
}

void report_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    GetLogger().LogV(loglevel::Info, 0, format, args);
    va_end(args);
}

void LogFromSignalHandler(const char* message) { SimpleLogger::LogFromSignal(message); }
