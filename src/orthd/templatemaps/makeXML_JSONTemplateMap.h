#pragma once
// Answer variants by "format" of the check-as-you-type and dictionary commands: empty -> the XML
// frame around "view"; "json" -> "view" as the argument of the callback (needs the texts). Any
// other value, "xml" included, has no entry.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeXML_JSONTemplateMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
