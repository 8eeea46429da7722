#pragma once
// Writes the relayed answer: headers, cookies and body.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace ferrix {

class Response_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(Response_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
