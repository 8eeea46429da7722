#pragma once
// Builds the command template map.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace orthd {

class TemplateInit_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(TemplateInit_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
