#pragma once
// Appends the request line to the hourly request log.
// Not filled yet: passes the request on unchanged.
#include "kernel/Filter.h"

class LogWrite_FLT : public Filter {
public:
    VERB_FILTER_EXCEPTION(LogWrite_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
