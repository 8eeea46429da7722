#pragma once
// Copies the CGI environment values the settings need.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class EnvVarLoad_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(EnvVarLoad_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
