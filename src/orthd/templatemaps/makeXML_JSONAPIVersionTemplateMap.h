#pragma once
// Answer variants by "format" of the web-service version query: empty or "xml" -> XML; "json" ->
// JSON(P) (needs the texts).
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeXML_JSONAPIVersionTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
