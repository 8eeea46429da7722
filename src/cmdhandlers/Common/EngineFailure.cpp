#include "cmdhandlers/Common/EngineFailure.h"

#include "utils/logging/Logger.h"

namespace {
constexpr char kServiceUnavailable[] = "The Verbarium Service is currently unavailable.";
}  // namespace

void FailCritically(const char* handler, const char* cause, const char* message,
                    const char* sourceFile, int line) {
    report_error("%s::apply() *ERROR* %s", handler, cause);
    throw CommandHandler::criticalException(message, ModuleOf(sourceFile), line);
}

std::vector<std::string> CallOrFail(const StringMap& map,
                                    const std::optional<EngineSession::Target>& server,
                                    const std::string& function,
                                    const std::vector<std::string>& params, size_t expected,
                                    const DirectCallReport& report) {
    if (!server)
        FailCritically(
            report.handler,
            ("Incorrect format of param '" + std::string(report.hostSetting) + "'").c_str(),
            kServiceUnavailable, report.sourceFile, report.line);
    EngineSession session(map, *server);
    if (!session.connected())
        FailCritically(report.handler, "Application server init failed.", kServiceUnavailable,
                       report.sourceFile, report.line);
    std::vector<std::string> results;
    if (session.Call(function, params, expected, results) != 0)
        FailCritically(report.handler, report.failurePhrase, report.failureMessage,
                       report.sourceFile, report.line);
    return results;
}
