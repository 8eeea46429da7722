#include "cmdhandlers/JsonApi/JsonApiAnswer.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string_view>

#include "kernel/ContentType.h"
#include "kernel/ContentTypes.h"
#include "kernel/CorsHeaders.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace {
constexpr char kJsonType[] = "application/json";
constexpr char kNoStore[] = "no-store";
}  // namespace

void JsonApiAnswer::Write(StringMap& map, InternalData& data, const std::string& status,
                          const std::string& contentType, std::string body) {
    AddCorsHeaders(map, data);
    if (!status.empty()) data.Set<std::string>(idkey::HttpStatus, status);
    data.Set(idkey::ResponseContentType, ContentType{contentType});
    data.Set<std::string>(idkey::HttpCacheControl, kNoStore);
    data.Set(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, false);
    map[":template:"] = std::move(body);
}

void JsonApiAnswer::Json(StringMap& map, InternalData& data, const nlohmann::json& body) {
    // Invalid UTF-8 cannot reach here (the request is checked), but a dump must never throw.
    Write(map, data, "", kJsonType,
          body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

void JsonApiAnswer::Failure(StringMap& map, InternalData& data, const ApiFailure& failure) {
    Write(map, data, failure.status(), ctype::kPlainText, failure.what());
}

void JsonApiAnswer::InternalError(StringMap& map, InternalData& data) {
    report_error("*ERROR* %s: internal error", map["cmd"].c_str());
    Write(map, data, "500 Internal Server Error", ctype::kPlainText, "Internal error.");
}

bool JsonApiAnswer::Preflight(StringMap& map, InternalData& data) {
    const char* method = std::getenv("REQUEST_METHOD");
    if (method == nullptr || std::string_view(method) != "OPTIONS") return false;
    AddPreflightHeaders(map, data);
    Write(map, data, "204 No Content", ctype::kPlainText, "");
    return true;
}
