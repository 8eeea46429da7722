#pragma once
// The relay's selector maps of cached files: one entry, under the current value v of the
// selector key, for the cache file prefix + v + suffix (e.g. "image-" v ".gif"). A value that
// would not make a plain file name gives no entry ("Requested file name is unexpected").
#include <string>

#include "templates/CompositeTemplateInformation.h"

namespace ferrix {

class CachedSelectorTemplateMap
    : public CompositeTemplateInformation::TemplateInformationMapGetter {
  public:
    CachedSelectorTemplateMap(std::string selectorKey, std::string prefix, std::string suffix,
                              std::string contentType)
        : selectorKey_(std::move(selectorKey)),
          prefix_(std::move(prefix)),
          suffix_(std::move(suffix)),
          contentType_(std::move(contentType)) {}

    TemplateMap operator()(StringMap& map, InternalData& data) const override;

  private:
    std::string selectorKey_;
    std::string prefix_;
    std::string suffix_;
    std::string contentType_;
};

}  // namespace ferrix
