#pragma once
// Decodes the CGI request (query, body, cookies) into the string map.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class Request_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(Request_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
