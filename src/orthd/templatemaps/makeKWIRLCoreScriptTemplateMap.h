#pragma once
// The core scripts of the check-as-you-type client by "name": "request", "func", "ie", "moz".
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeKWIRLCoreScriptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
