#pragma once
// The relay's response stage, the last "after" filter: renders ":template:" and writes the
// relayed header block (LF line ends) and the body.
//
// Reads: ":template:"; InternalData keys 4 (HttpStatus, written as a "Status:" line when present),
// 3 (ResponseContentType), 6 (HttpExpires),
// 7 (HttpPragma), 8 (HttpCacheControl), 9 (HttpSetCookies), each with a fixed default when
// absent. A text answer (text/*, script, JSON, XML) is rendered only when ExpandTemplate (key 11)
// is true, which the relay's own templates set: every placeholder renders its string-map value
// HTML- and parenthesis-escaped (and stores the escaped value back), and "ferrix_url" is the
// path of REQUEST_PATH (the relay's own, whatever the request's Host or parameters say). Without
// ExpandTemplate the text came from the service and is written as it is, except that a "script"
// answer gets
// "<#ferrix_url#>" and "<#service_host#>" filled (escaped). Any other answer (images) is
// written byte for byte. None of the
// service's own cookies. Throws Response_FLTException ("Response::apply() -
// internal error." ...) on any failure, after writing a plain-text "Status: 500" answer in place of
// the one that could not be built.
#include <ostream>

#include "kernel/Filter.h"

namespace ferrix {

class Response_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(Response_FLTException);

    Response_FLT();
    // `out` must outlive the stage.
    explicit Response_FLT(std::ostream& out);

    void apply(StringMap& map, InternalData& data) override;

    // The whole answer, header block and body, as it will be written.
    static std::string BuildAnswer(StringMap& map, InternalData& data);

  private:
    std::ostream& out_;
};

}  // namespace ferrix
