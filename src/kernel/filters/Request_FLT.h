#pragma once
// Decodes the CGI request into the string map. Third "before" filter of both programs: after
// EnvVarLoad_FLT, before IniFileLoad_FLT.
//
// Reads: REQUEST_METHOD; for POST, CONTENT_LENGTH and the body; for GET, QUERY_STRING; for any
// other method the string-map value ":cmd_line:"; HTTP_COOKIE; VERBARIUM_MAX_BODY_BYTES.
// Writes: one string-map entry per parameter (name lower-cased, a later duplicate wins), except
// names that start with ":" or that only configuration may set (RequestDecoding::
// kConfigurationOnlyKeys), which are dropped with one "*WARNING*" log line per request; and,
// when a cookie header is sent, ":cookies:", "ud", "c_udn", "udn", "c_cust_dic_ids",
// "cust_dic_ids", "osp", ":lng_pdef:".
// InternalData key RequestValues (RequestValueRecord): the keys the request filled (parameters
// and cookie-derived keys) with their values as this stage leaves them; the response escapes a
// placeholder whose value is still the request's.
// When a request value is not UTF-8, every value but the internal ":...:" keys is reinterpreted
// as Windows-1250 and InternalData key InputCodePage (short) is set to 0x616D.
// A missing body, query or command line leaves the map as seeded but for the cookie-derived
// keys, which are read in every case (also before "Request body too large." is thrown).
// Throws Request_FLTException: "Request body too large." when CONTENT_LENGTH exceeds the body
// limit (kMaxBodyBytes unless VERBARIUM_MAX_BODY_BYTES says otherwise); "Request::apply() -
// internal error." (with the cause's text) for anything unexpected.
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "kernel/Filter.h"
#include "kernel/RequestSource.h"

class Request_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(Request_FLTException);

    static constexpr size_t kMaxBodyBytes = 4 * 1024 * 1024;
    static constexpr char kMaxBodyEnvVar[] = "VERBARIUM_MAX_BODY_BYTES";
    static constexpr char kBodyTooLargeMessage[] = "Request body too large.";

    // Reads the running process's environment and standard input.
    Request_FLT();
    explicit Request_FLT(std::unique_ptr<RequestSource> source);

    void apply(StringMap& map, InternalData& data) override;

  private:
    void decode(StringMap& map, InternalData& data);
    void applyCookies(StringMap& map, std::set<std::string>& filled);
    // The raw parameter text, or nullopt when the request carries none.
    std::optional<std::string> rawParameters(const StringMap& map);
    std::optional<std::string> readBody();

    std::unique_ptr<RequestSource> source_;
};
