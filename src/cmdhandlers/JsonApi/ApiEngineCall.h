#pragma once
// One engine-server call of a JSON API command, its failures told as API failures: the engine
// server out of reach, busy or failing is "503 Service Unavailable"; a request it refuses
// (unsupported language, invalid name or word, missing dictionary) is "400 Bad Request" with the
// engine's message, a wrong dictionary key "403 Forbidden".
#include <string>
#include <vector>

#include "utils/InternalData.h"
#include "utils/StringMap.h"

class ApiEngineCall {
  public:
    // Calls `function` on the spelling server of `language` (the per-language redirection when
    // it names one, else "appserver_hostname"/"appserver_port"). Throws ApiFailure.
    static std::vector<std::string> Call(StringMap& map, InternalData& data,
                                         const std::string& language, const std::string& function,
                                         const std::vector<std::string>& params, size_t expected);
};
