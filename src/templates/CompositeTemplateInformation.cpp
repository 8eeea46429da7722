#include "templates/CompositeTemplateInformation.h"

const TemplateMap& CompositeTemplateInformation::variants() const {
    const std::string& selector = map_[selectorKey_];
    const std::string& templateDir = map_[":tmpl_dir:"];
    const std::string& defaultTemplateDir = map_[":d_tmpl_d:"];
    if (!built_ || built_->selector != selector || built_->templateDir != templateDir ||
        built_->defaultTemplateDir != defaultTemplateDir)
        built_ = BuiltVariants{selector, templateDir, defaultTemplateDir, (*getter_)(map_, data_)};
    return built_->variants;
}

TemplateInformationRef CompositeTemplateInformation::selected() const {
    if (!getter_) throw TemplateInformationAbsent();
    const std::string selector = map_[selectorKey_];
    TemplateInformationRef chosen = variants()[selector];
    if (!chosen) throw TemplateInformationRef::ENullPointer();
    return chosen;
}
