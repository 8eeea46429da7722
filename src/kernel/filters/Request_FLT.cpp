#include "kernel/filters/Request_FLT.h"

#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "kernel/ApiPath.h"
#include "kernel/ProcessRequestSource.h"
#include "kernel/RequestDecoding.h"
#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"
#include "utils/UTFChecker.h"
#include "utils/codepages/LanguageCodePages.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kInternalError[] = "Request::apply() - internal error.";
constexpr size_t kLoggedNameBytes = 64;

const SingleByteCodePage& ReinterpretPage() {
    return *LanguageCodePages::ForLanguage(LanguageCodePages::kReinterpretLanguage);
}

// Moves the parameters into the map and adds their names to `filled`; returns how many were
// dropped and the first dropped name.
std::pair<size_t, std::string> StoreParameters(std::vector<RequestDecoding::Parameter> params,
                                               StringMap& map, std::set<std::string>& filled) {
    // Decided before any value moves: a parameter's acceptance may depend on the others.
    std::vector<bool> accepted(params.size());
    for (size_t i = 0; i < params.size(); ++i)
        accepted[i] = !RequestDecoding::IsReservedParameterName(params[i].name) &&
                      RequestDecoding::IsAcceptedParameter(params[i], params);
    size_t dropped = 0;
    std::string firstDropped;
    for (size_t i = 0; i < params.size(); ++i) {
        auto& param = params[i];
        if (!accepted[i]) {
            if (dropped++ == 0) firstDropped = param.name.substr(0, kLoggedNameBytes);
            continue;
        }
        map[param.name] = std::move(param.value);
        filled.insert(std::move(param.name));
    }
    return {dropped, firstDropped};
}

// What the request left in the keys it filled, for the answer to tell request text from the
// program's own values.
void RecordRequestValues(const StringMap& map, const std::set<std::string>& filled,
                         InternalData& data) {
    RequestValueRecord record;
    for (const auto& key : filled)
        if (const auto it = map.find(key); it != map.end()) record.Fill(key, it->second);
    data.Set(idkey::RequestValues, std::move(record));
}

void CheckEncoding(StringMap& map, InternalData& data) {
    const auto scan = RequestDecoding::ScanValues(map);
    if (scan.unsupported) report_error("*ERROR* %s", UTFChecker::kUnsupportedMessage);
    if (!scan.invalid) return;
    report_error(
        "*ERROR* Invalid utf-8 string detected. Will try to enterpret as locale. file: %s line %d",
        scan.checkerFile.c_str(), scan.checkerLine);
    RequestDecoding::ReinterpretValues(map, ReinterpretPage());
    data.Insert(idkey::InputCodePage, static_cast<short>(LanguageCodePages::kReinterpretLanguage));
}

}  // namespace

Request_FLT::Request_FLT() : source_(std::make_unique<ProcessRequestSource>()) {}

Request_FLT::Request_FLT(std::unique_ptr<RequestSource> source) : source_(std::move(source)) {}

void Request_FLT::apply(StringMap& map, InternalData& data) {
    try {
        decode(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const UTFChecker::InvalidUTF8Exception&) {
        VERB_THROW(Request_FLTException, UTFChecker::kInvalidMessage);
    } catch (const UTFChecker::UnsupportedUTF8Exception&) {
        VERB_THROW(Request_FLTException, UTFChecker::kUnsupportedMessage);
    } catch (const std::exception& e) {
        VERB_THROW(Request_FLTException, std::string(kInternalError) + " " + e.what());
    } catch (...) {
        VERB_THROW(Request_FLTException, kInternalError);
    }
}

void Request_FLT::decode(StringMap& map, InternalData& data) {
    // The cookies are read whatever happens to the parameters: the response writes the
    // settings cookies back, and without them a bare request would delete the user's settings.
    std::set<std::string> filled;
    const std::optional<std::string> apiCommand =
        ApiCommandOf(source_->Env("PATH_INFO").value_or(""));
    // Set before the body is read, so that even a refused body is answered in the API's way.
    if (apiCommand) map["cmd"] = *apiCommand;
    std::optional<std::string> raw;
    try {
        raw = rawParameters(map);
    } catch (...) {
        applyCookies(map, filled);
        RecordRequestValues(map, filled, data);
        throw;
    }
    if (raw) {
        const auto [dropped, firstDropped] =
            StoreParameters(RequestDecoding::ParseParameters(*raw), map, filled);
        if (dropped != 0)
            GetLogger().Log(loglevel::Warning, 0,
                            "*WARNING* Request_FLT: ignored %zu request parameter(s) that only the "
                            "configuration may set (first: \"%s\")",
                            dropped, firstDropped.c_str());
        CheckEncoding(map, data);
    }
    if (apiCommand) map["cmd"] = *apiCommand;
    applyCookies(map, filled);
    RecordRequestValues(map, filled, data);
}

void Request_FLT::applyCookies(StringMap& map, std::set<std::string>& filled) {
    const auto cookies = source_->Env("HTTP_COOKIE");
    if (!cookies) return;
    RequestDecoding::ApplyCookies(map, *cookies, ReinterpretPage());
    filled.insert(RequestDecoding::kCookieKeys.begin(), RequestDecoding::kCookieKeys.end());
}

std::optional<std::string> Request_FLT::rawParameters(const StringMap& map) {
    const std::string method =
        RequestDecoding::AsciiLower(source_->Env("REQUEST_METHOD").value_or(""));
    if (method == "post") return readBody();
    if (method == "get") return source_->Env("QUERY_STRING");
    const auto cmdLine = map.find(":cmd_line:");
    if (cmdLine == map.end() || cmdLine->second.empty()) return std::nullopt;
    return cmdLine->second;
}

std::optional<std::string> Request_FLT::readBody() {
    const auto lengthText = source_->Env("CONTENT_LENGTH");
    if (!lengthText) return std::nullopt;
    const long long length = RequestDecoding::ParseContentLength(*lengthText);
    if (length <= 0) return std::nullopt;
    const size_t limit = RequestDecoding::BodyLimit(source_->Env(kMaxBodyEnvVar), kMaxBodyBytes);
    if (static_cast<unsigned long long>(length) > limit)
        VERB_THROW(Request_FLTException, kBodyTooLargeMessage);
    std::string body = source_->ReadBody(static_cast<size_t>(length));
    if (body.empty()) return std::nullopt;
    return body;
}
