#pragma once
// The call of "check_grammar" that "grammar" and "suggram" share.
#include <string>
#include <vector>

#include "utils/InternalData.h"
#include "utils/StringMap.h"

// What a failure is reported as, for the handler `handler` raising from `sourceFile`.
struct GrammarCallReport {
    const char* handler;         // "Grammar_CH", "Suggram_CH"
    const char* failurePhrase;   // logged when the call fails
    const char* failureMessage;  // the critical message when the call fails
    const char* sourceFile;
    int line;
};

// Calls "check_grammar" (ignoregr, igposgr, checkText, problem) on the grammar server and
// returns its four results. Throws the critical command-handler exceptions of the grammar
// commands (see Grammar_CH.h) and InternalData::ValueNotFound without the spelling language.
std::vector<std::string> CallCheckGrammar(StringMap& map, InternalData& data,
                                          const std::string& checkText, const std::string& problem,
                                          const GrammarCallReport& report);
