#pragma once
// Counts sessions and numbers the request's session.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class SessionCount_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(SessionCount_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
