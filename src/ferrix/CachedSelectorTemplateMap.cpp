#include "ferrix/CachedSelectorTemplateMap.h"

#include "ferrix/ServiceFetch.h"
#include "utils/PathSafety.h"

namespace ferrix {

TemplateMap CachedSelectorTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    const std::string value = map[selectorKey_];
    const std::string fileName = prefix_ + value + suffix_;
    if (IsSafePathComponent(fileName))
        variants.set(value, TemplateInformationRef::make<CachedTemplateFileInformation>(
                                contentType_, fileName, map, data, &ServiceFetch));
    return variants;
}

}  // namespace ferrix
