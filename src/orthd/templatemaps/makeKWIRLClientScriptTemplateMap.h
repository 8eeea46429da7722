#pragma once
// The check-as-you-type client script by "plugin": empty -> "KWIRL/kwirl.js"; plus one entry per
// file "kwirl_*plugin.js" of ":tmpl_dir:" "KWIRL/" (only the browser-specific directory is listed),
// keyed by what the "*" stands for.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeKWIRLClientScriptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
