#pragma once
// The relay's "script" variants by "doc": the service's client scripts, styles, images and the
// error style sheet, each read through the relay's cache.
#include "templates/CompositeTemplateInformation.h"

namespace ferrix {

// The built-in error style sheet: stands in when the service host cannot give "error.xsl".
extern const char kErrorStylesheet[];

// The defaulted cached source of "error.xsl".
TemplateInformationRef ErrorStylesheetSource(StringMap& map, InternalData& data);

class makeScriptTemplateMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace ferrix
