#pragma once
// The core pages of the dialog client by "name": "blank", "blankform", "frm", "show",
// "initialize".
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeQDRCoreScriptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
