#pragma once
// Short constructors of the three kinds of template source, for the command template map and
// the selector maps. File and selector sources keep references to `map` and `data`, which must
// outlive them (both are the request's stores); the overloads given shared RequestStores read the
// request those are bound to when used.
#include <memory>
#include <string>

#include "templates/CompositeTemplateInformation.h"
#include "templates/InlineTemplateInformation.h"
#include "templates/TemplateFileInformation.h"

namespace orthd {

inline TemplateInformationRef FileSource(const std::string& contentType,
                                         const std::string& fileName, StringMap& map,
                                         InternalData& data, bool needsIntText) {
    return TemplateInformationRef::make<TemplateFileInformation>(contentType, fileName, map, data,
                                                                 needsIntText);
}

inline TemplateInformationRef FileSource(const std::string& contentType,
                                         const std::string& fileName,
                                         const std::shared_ptr<const RequestStores>& stores,
                                         bool needsIntText) {
    return TemplateInformationRef::make<TemplateFileInformation>(contentType, fileName, stores,
                                                                 needsIntText);
}

inline TemplateInformationRef InlineSource(const std::string& contentType, const std::string& text,
                                           bool needsIntText) {
    return TemplateInformationRef::make<InlineTemplateInformation>(contentType, text, needsIntText);
}

// A source that picks its variant by the string-map value of `selectorKey` from the map that
// `Getter` builds.
template <typename Getter>
TemplateInformationRef SelectorSource(const std::string& selectorKey, StringMap& map,
                                      InternalData& data) {
    return TemplateInformationRef::make<CompositeTemplateInformation>(
        map, data, selectorKey, std::make_shared<const Getter>());
}

template <typename Getter>
TemplateInformationRef SelectorSource(const std::string& selectorKey,
                                      const std::shared_ptr<const RequestStores>& stores) {
    return TemplateInformationRef::make<CompositeTemplateInformation>(
        stores, selectorKey, std::make_shared<const Getter>());
}

// The XML answer frame that most XML commands share.
inline constexpr char kXmlViewFrame[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><#view#>";

}  // namespace orthd
