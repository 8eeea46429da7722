#pragma once
// The options page by "kwirlflag": empty -> "sp_opt.html" (dialog client), "1" ->
// "kwirl_opt.html" (check-as-you-type client); both need the texts.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeOptionsTemplateMap : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
