#pragma once
// Runs, with the request's stores, the handler registered in the relay under the first of
// `names` that has one. Returns false when none has. Failures of the handler pass through.
#include <initializer_list>

#include "kernel/CommandHandler.h"

namespace ferrix {

bool RunRegistered(std::initializer_list<const char*> names, StringMap& map, InternalData& data);

}  // namespace ferrix
