#pragma once
// The dialog's correction commands continue with a check command in the same request.
#include <string>

#include "utils/InternalData.h"
#include "utils/StringMap.h"

// Sets "cmd" to `command` and runs the handler the registry gives for it (its own, else that of
// "alternate", else that of "default"; none: nothing runs) with the same stores. What the
// handler throws passes on.
void RunNextCommand(StringMap& map, InternalData& data, const std::string& command);
