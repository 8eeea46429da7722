#pragma once
// How the JSON API commands answer: a JSON body with status 200, or a failure as plain text
// with its status (never 200). Both carry the cross-origin headers of "cors_allow_origins" and
// are not cached. The answer is written as it is: no template, no placeholders.
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

class JsonApiAnswer {
  public:
    static void Json(StringMap& map, InternalData& data, const nlohmann::json& body);
    static void Failure(StringMap& map, InternalData& data, const ApiFailure& failure);

    // Runs `body`; an ApiFailure becomes its answer, anything else "500 Internal Server Error".
    // A preflight (OPTIONS) is answered "204 No Content" with AddPreflightHeaders, without
    // running `body`.
    template <typename Body>
    static void Run(StringMap& map, InternalData& data, Body&& body);

  private:
    // True, with the answer written, for a preflight.
    static bool Preflight(StringMap& map, InternalData& data);
    static void Write(StringMap& map, InternalData& data, const std::string& status,
                      const std::string& contentType, std::string body);
    static void InternalError(StringMap& map, InternalData& data);
};

template <typename Body>
void JsonApiAnswer::Run(StringMap& map, InternalData& data, Body&& body) {
    try {
        if (Preflight(map, data)) return;
        body();
    } catch (const ApiFailure& failure) {
        Failure(map, data, failure);
    } catch (...) {
        InternalError(map, data);
    }
}
