#pragma once
// Builds the relay's command template map.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace ferrix {

class TemplateInit_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(TemplateInit_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
