#pragma once
// The spell service's response stage, the last "after" filter: renders ":template:" and writes
// the CGI header block (CR LF line ends) and the body.
//
// Reads: ":template:", "cmd", "udn", ":udk:", "ud", "cust_dic_ids", "osp"; InternalData keys 3
// (ResponseContentType), 4 (HttpStatus), 8 (HttpCacheControl), 11 (ExpandTemplate, absent =
// true), 27 (InputCodePage: the body goes out in that single-byte code page), 31
// (HttpExtraHeaders: further header lines, written after Cache-Control).
// Placeholders "bansys", "check_spelling_xml" and "check_spelling_json" have their own
// resolvers; every other placeholder is the string-map value, escaped for the answer's content
// type while it is still request text (InternalData key RequestValues; RequestValueMetaHandler).
// Settings cookies are written only with values that keep their rules (SettingsCookies.h), with
// SameSite=Lax; "udk" (":udk:", the owner key of the dictionary "udn" names) also HttpOnly, and
// deleted with "udn" or when there is no key.
// For "cmd" = "check" only an optional "Status:" line precedes the body (the template supplies
// its own header lines).
// For "cmd" = "script" with its file (key 8 empty, no key 4) the answer can be kept by the
// browser: ETag, max-age, "304 Not Modified" for the request's If-None-Match, gzip when its
// Accept-Encoding allows (ScriptAnswer.h); the CGI variables HTTP_IF_NONE_MATCH and
// HTTP_ACCEPT_ENCODING are read. Such an answer sets no cookie and has no "Expires:".
// Throws Response_FLTException ("Response::apply() - internal error." ...) on any failure, after
// writing a plain-text "Status: 500" answer in place of the one that could not be built.
#include <ctime>
#include <functional>
#include <ostream>

#include "kernel/Filter.h"

namespace orthd {

class Response_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(Response_FLTException);
    using Clock = std::function<std::time_t()>;

    Response_FLT();
    // `out` must outlive the stage; `now` gives the time of the "Expires:" header.
    Response_FLT(std::ostream& out, Clock now);

    void apply(StringMap& map, InternalData& data) override;

    // The whole answer, header block and body, as it will be written.
    std::string BuildAnswer(StringMap& map, InternalData& data) const;
    // The body: ":template:" rendered (or as it is when ExpandTemplate is false), in the input
    // code page when key 27 is set.
    static std::string Body(StringMap& map, InternalData& data);

  private:
    std::ostream& out_;
    Clock now_;
};

}  // namespace orthd
