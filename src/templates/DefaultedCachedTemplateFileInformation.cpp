#include "templates/DefaultedCachedTemplateFileInformation.h"

#include "utils/ErrorBase.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

std::string DefaultedCachedTemplateFileInformation::content() const {
    std::string text;
    try {
        text = CachedTemplateFileInformation::content();
    } catch (const ErrorBase& e) {
        report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
        return defaultText();
    }
    return AnswerIsUncacheable(data()) ? defaultText() : text;
}

std::string DefaultedCachedTemplateFileInformation::defaultText() const {
    // The built-in text is the program's own template (the service's text is not rendered) and
    // a whole answer: the service's failure status does not go with it.
    data().Set(idkey::ExpandTemplate, true);
    data().Erase(idkey::HttpStatus);
    return defaultText_;
}
