#include "templates/DefaultedCachedTemplateFileInformation.h"

#include "utils/ErrorBase.h"
#include "utils/logging/Logger.h"

std::string DefaultedCachedTemplateFileInformation::content() const {
    std::string text;
    try {
        text = CachedTemplateFileInformation::content();
    } catch (const ErrorBase& e) {
        report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
        return defaultText_;
    }
    return AnswerIsUncacheable(data()) ? defaultText_ : text;
}
