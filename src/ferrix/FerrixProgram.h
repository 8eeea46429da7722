#pragma once
// The relay program: its constants and its filter lists.
#include "kernel/RequestDriver.h"

namespace ferrix {

// Constants and filter lists of ferrix.cgi.
const ProgramInfo& Info();

// Appends the filters of ferrix, in pipeline order.
void BuildFilters(Pipeline::FilterList& before, Pipeline::FilterList& after);

}  // namespace ferrix
