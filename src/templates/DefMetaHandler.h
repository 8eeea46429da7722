#pragma once
// The default placeholder resolver: the value of the string-map entry named by the placeholder
// (arguments are ignored). An absent entry is created empty and yields the empty string.
// Resolvers are reference-counted; a MetaHandlerMap holds them for one rendering.
#include <string>
#include <vector>

#include "utils/RefCounted.h"
#include "utils/StringMap.h"

class DefMetaHandler : public ref_counted<DefMetaHandler> {
  public:
    using Arguments = std::vector<std::string>;

    // `args` holds the placeholder's lower-cased name first, then its arguments.
    virtual std::string render(const Arguments& args, StringMap& map);
    virtual ~DefMetaHandler() = default;
};
