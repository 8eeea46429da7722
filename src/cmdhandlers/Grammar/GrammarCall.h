#pragma once
// The call of "check_grammar" that "grammar" and "suggram" share.
#include <string>
#include <vector>

#include "cmdhandlers/Common/EngineFailure.h"

// Calls "check_grammar" (ignoregr, igposgr, checkText, problem) on the grammar server
// (GrammarServer) and returns its four results. Throws the critical command-handler exceptions
// of CallOrFail (report.hostSetting is taken as "grammar_host") and InternalData::ValueNotFound
// without the spelling language.
std::vector<std::string> CallCheckGrammar(StringMap& map, InternalData& data,
                                          const std::string& checkText, const std::string& problem,
                                          DirectCallReport report);
