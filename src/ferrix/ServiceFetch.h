#pragma once
// How the relay's cached sources ask the service host for a file: the "alternate" handler
// (else "default") with the request's stores; a "not modified" answer is reported, every other
// failure passes through.
#include "templates/CachedTemplateFileInformation.h"

namespace ferrix {

CachedTemplateFileInformation::FetchResult ServiceFetch(StringMap& map, InternalData& data);

}  // namespace ferrix
