#pragma once
// The spell service's default placeholder resolver: the string-map value, escaped for the
// answer's content type when it is still request text (RequestValueRecord); the values
// commands wrote are returned as they are. A "callback" placeholder in a script answer renders
// only a valid JSONP callback name (utils/JsonpCallback.h) and nothing otherwise. "ferrix_url"
// and "service_host" are escaped whatever their source (but for their own placeholder text,
// which a script answer passes on to the relay).
// `record` must outlive the resolver; without a record nothing is escaped.
#include "templates/DefMetaHandler.h"
#include "utils/ContextEscape.h"
#include "utils/RequestValueRecord.h"

class RequestValueMetaHandler : public DefMetaHandler {
  public:
    RequestValueMetaHandler(const RequestValueRecord* record, EscapeContext context)
        : record_(record), context_(context) {}

    std::string render(const Arguments& args, StringMap& map) override;

  private:
    const RequestValueRecord* record_;
    EscapeContext context_;
};
