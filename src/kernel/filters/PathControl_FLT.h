#pragma once
// Chooses the template and text directories for the browser.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class PathControl_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(PathControl_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
