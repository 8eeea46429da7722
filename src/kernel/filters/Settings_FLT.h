#pragma once
// Applies the settings table to the INI values.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class Settings_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(Settings_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
