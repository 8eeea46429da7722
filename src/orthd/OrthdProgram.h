#pragma once
// The spell-service program: its constants and its filter lists.
#include "kernel/RequestDriver.h"

namespace orthd {

// Constants and filter lists of orthd.cgi.
const ProgramInfo& Info();

// Appends the filters of orthd, in pipeline order.
void BuildFilters(Pipeline::FilterList& before, Pipeline::FilterList& after);

}  // namespace orthd
