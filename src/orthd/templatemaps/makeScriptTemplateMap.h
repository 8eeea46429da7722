#pragma once
// The static files of the clients by "doc": the script trees (each chosen further by "plugin",
// "name", "img" or "slang"), the style sheet and the error style sheet. None needs the texts.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeScriptTemplateMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
