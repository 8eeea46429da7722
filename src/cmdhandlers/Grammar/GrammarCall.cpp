#include "cmdhandlers/Grammar/GrammarCall.h"

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Grammar/GrammarServer.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"

namespace {
constexpr size_t kResultCount = 4;
}  // namespace

std::vector<std::string> CallCheckGrammar(StringMap& map, InternalData& data,
                                          const std::string& checkText, const std::string& problem,
                                          const GrammarCallReport& report) {
    const std::optional<EngineSession::Target> server = GrammarServer(map, data);
    if (!server)
        FailCritically(report.handler, "Incorrect format of param 'grammar_host'",
                       CommonSpell_CH::kServiceUnavailable, report.sourceFile, report.line);
    EngineSession session(map, *server);
    if (!session.connected())
        FailCritically(report.handler, "Application server init failed.",
                       CommonSpell_CH::kServiceUnavailable, report.sourceFile, report.line);
    std::vector<std::string> results;
    if (session.Call("check_grammar", {map["ignoregr"], map["igposgr"], checkText, problem},
                     kResultCount, results) != 0)
        FailCritically(report.handler, report.failurePhrase, report.failureMessage,
                       report.sourceFile, report.line);
    return results;
}
