#pragma once
// The two white lists combined for the markup filters, with the mode for tags outside the tag
// list: 0 drop them, 1 show them escaped.
#include "text/AttributeWhiteList.h"
#include "text/TagWhiteList.h"

struct FilteringParams {
    TagWhiteList tags;
    AttributeWhiteList attributes;
    int mode = 0;
    bool operator==(const FilteringParams&) const = default;
};
