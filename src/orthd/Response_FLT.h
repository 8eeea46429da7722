#pragma once
// Writes the answer: headers, cookies and body.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace orthd {

class Response_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(Response_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
