#pragma once
// HTML-escapes the echoed request values.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

namespace orthd {

class ValueEscape_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(ValueEscape_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
