#include "templates/CompositeTemplateInformation.h"

const TemplateMap& CompositeTemplateInformation::variants() const {
    const RequestStores& stores = this->stores();
    StringMap& map = stores.map();
    const std::string& selector = map[selectorKey_];
    const std::string& templateDir = map[":tmpl_dir:"];
    const std::string& defaultTemplateDir = map[":d_tmpl_d:"];
    if (!built_ || built_->generation != stores.generation() || built_->selector != selector ||
        built_->templateDir != templateDir || built_->defaultTemplateDir != defaultTemplateDir) {
        // Dropped first: when building throws, no variants of an earlier request remain.
        built_.reset();
        built_ = BuiltVariants{stores.generation(), selector, templateDir, defaultTemplateDir,
                               (*getter_)(map, stores.data())};
    }
    return built_->variants;
}

TemplateInformationRef CompositeTemplateInformation::selected() const {
    if (!getter_) throw TemplateInformationAbsent();
    const std::string selector = stores().map()[selectorKey_];
    TemplateInformationRef chosen = variants()[selector];
    if (!chosen) throw TemplateInformationRef::ENullPointer();
    return chosen;
}
