#pragma once
// Request values that become parts of file paths (schema, banner, interface language, script
// language) must never leave the data tree.
#include <string_view>

// True when `component` can be used as one path component: non-empty, no '/', no '\\', no "..",
// no control byte (below 0x20 or 0x7F).
bool IsSafePathComponent(std::string_view component);
