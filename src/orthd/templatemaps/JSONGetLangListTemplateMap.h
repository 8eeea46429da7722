#pragma once
// The only answer variant of "get_lang_list": empty "format" -> "view" as the argument of the
// callback (needs the texts).
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class JSONGetLangListTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
