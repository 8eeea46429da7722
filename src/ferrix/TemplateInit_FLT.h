#pragma once
// Builds the relay's command template map (InternalData key 5): "script" chooses by "doc" among
// the service's files in the relay's cache (ferrix::makeScriptTemplateMap); "error_conversion"
// is the cached "error.xsl" with the built-in style sheet as its fallback. Reads no file.
// Throws TemplateInit_FLTException ("TemplateInit_FLT::apply() - internal error." ...) on any
// failure.
#include "kernel/Filter.h"

namespace ferrix {

class TemplateInit_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(TemplateInit_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
