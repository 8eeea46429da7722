#include "templates/CompositeTemplateInformation.h"

TemplateInformationRef CompositeTemplateInformation::selected() const {
    if (!getter_) throw TemplateInformationAbsent();
    const std::string& selector = map_[selectorKey_];
    const TemplateMap variants = (*getter_)(map_, data_);
    TemplateInformationRef chosen = variants[selector];
    if (!chosen) throw TemplateInformationRef::ENullPointer();
    return chosen;
}
