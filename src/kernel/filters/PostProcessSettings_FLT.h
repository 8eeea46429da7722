#pragma once
// Settings that depend on the paths and the request.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class PostProcessSettings_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(PostProcessSettings_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
