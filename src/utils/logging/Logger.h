#pragma once
// The process-wide diagnostic logger.
#include <string>

#include "utils/logging/ILogger.h"

// The logger, created on first use (a SimpleLogger) and kept until the process ends.
ILogger& GetLogger();

// Writes a message at level 3 (info), category 0. The system's "*ERROR* ..." lines go here.
void report_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes `message` to the diagnostic log from a signal handler (async-signal-safe).
void LogFromSignalHandler(const char* message);
