#pragma once
// Loads the command's template into ":template:".
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class TemplateLoad_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(TemplateLoad_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
