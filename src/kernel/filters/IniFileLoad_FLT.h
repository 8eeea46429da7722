#pragma once
// Loads the program's INI file into the string map.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class IniFileLoad_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(IniFileLoad_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
