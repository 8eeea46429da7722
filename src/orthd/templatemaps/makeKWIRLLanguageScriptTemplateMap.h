#pragma once
// The language script of the check-as-you-type client: one entry, under the current "slang"
// value v, for "KWIRL/lang/<v>.js" (needs the texts). A "slang" that is not a safe path component
// (a "/", "\\", ".." or control byte) gives no entry, so the answer is "Template information is
// not found" and no file outside the template tree is read.
#include "templates/CompositeTemplateInformation.h"

namespace orthd {

class makeKWIRLLanguageScriptTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    TemplateMap operator()(StringMap& map, InternalData& data) const override;
};

}  // namespace orthd
