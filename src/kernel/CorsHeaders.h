#pragma once
// Cross-origin answers, so that pages on other sites can call the web-service API and the
// check-as-you-type commands with fetch instead of JSONP.
//
// The INI key "cors_allow_origins" lists the allowed origins separated by blanks (empty by
// default: no header at all). A request whose Origin (CGI "HTTP_ORIGIN") is listed exactly gets
// "Access-Control-Allow-Origin: <origin>" and "Access-Control-Allow-Credentials: true" (the
// answers depend on the dictionary cookies); the entry "*" lets any other origin read the
// answers without credentials ("Access-Control-Allow-Origin: *", never with credentials).
// Whenever the list is not empty the answer carries "Vary: Origin", so caches keep the answers
// of different origins apart.
#include <string>
#include <string_view>
#include <vector>

#include "utils/InternalData.h"
#include "utils/StringMap.h"

inline constexpr char kCorsAllowOriginsKey[] = "cors_allow_origins";

// The header lines ("Name: value") for a request from `origin` under `allowList`.
std::vector<std::string> CorsHeaderLines(std::string_view allowList, std::string_view origin);

// Appends the lines for this request (origin from the environment's HTTP_ORIGIN) to
// InternalData HttpExtraHeaders (31), which the response stage writes. Adding twice adds once.
void AddCorsHeaders(StringMap& map, InternalData& data);

// The answer to a preflight (OPTIONS) of the JSON API: the lines of AddCorsHeaders and, when the
// origin is allowed, "Access-Control-Allow-Methods: GET, POST, OPTIONS" and
// "Access-Control-Allow-Headers: Content-Type".
void AddPreflightHeaders(StringMap& map, InternalData& data);
