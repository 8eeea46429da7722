#pragma once
// Checks the request against the access list.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class Acl_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(Acl_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
