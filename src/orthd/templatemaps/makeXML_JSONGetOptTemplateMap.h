#pragma once
// Answer variants by "format" of "get_opt" (options, dictionary name, session id): empty -> XML;
// "json" -> JavaScript calling the callback.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeXML_JSONGetOptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
