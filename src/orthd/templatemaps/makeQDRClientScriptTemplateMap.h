#pragma once
// The dialog client script by "plugin": empty -> "QDR/qdr_script.js"; plus one entry per file
// "qdr_*plugin.js" of ":tmpl_dir:" "QDR/" (only the browser-specific directory is listed), keyed by
// what the "*" stands for.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeQDRClientScriptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
