#pragma once
// The images of the check-as-you-type client by "img": one entry per file of
// ":tmpl_dir:" "KWIRL/files/img/", keyed by the name before its last "."; ".gif" files are served
// as "image/gif", ".jpg" as "image/jpeg" (case-sensitive); other files are logged
// ("File type undefined.") and left out.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeKWIRLImagesTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
