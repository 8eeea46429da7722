#pragma once
// Pre-processes request values before the command.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace orthd {

class PreProcess_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(PreProcess_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
