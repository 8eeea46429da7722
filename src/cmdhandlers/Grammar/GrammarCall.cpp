#include "cmdhandlers/Grammar/GrammarCall.h"

#include "cmdhandlers/Grammar/GrammarServer.h"

namespace {
constexpr size_t kResultCount = 4;
}  // namespace

std::vector<std::string> CallCheckGrammar(StringMap& map, InternalData& data,
                                          const std::string& checkText, const std::string& problem,
                                          DirectCallReport report) {
    report.hostSetting = "grammar_host";
    return CallOrFail(map, GrammarServer(map, data), "check_grammar",
                      {map["ignoregr"], map["igposgr"], checkText, problem}, kResultCount, report);
}
