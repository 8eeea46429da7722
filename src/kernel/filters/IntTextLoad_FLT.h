#pragma once
// Loads the interface-language texts.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class IntTextLoad_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(IntTextLoad_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
