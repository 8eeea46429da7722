#pragma once
// Answer variants by "format" of the web-service spelling check: empty or "xml" -> the XML
// document; "json" -> the JSON(P) text (needs the texts).
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeXML_JSONCheckSpellingTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
