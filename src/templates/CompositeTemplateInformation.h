#pragma once
// A template source that chooses among variants at call time: the string-map value of its
// selector key (e.g. "format") names the entry of the template map its getter returns.
// Every operation throws TemplateInformationAbsent when the value has no entry and
// wrapper<TemplateInformation>::ENullPointer when the entry is empty.
// `map` and `data` must outlive the source.
#include <memory>

#include "templates/TemplateMap.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

class CompositeTemplateInformation : public TemplateInformation {
  public:
    class TemplateInformationMapGetter {
      public:
        virtual TemplateMap operator()(StringMap& map, InternalData& data) const = 0;
        virtual ~TemplateInformationMapGetter() = default;
    };

    CompositeTemplateInformation(StringMap& map, InternalData& data, std::string selectorKey,
                                 std::shared_ptr<const TemplateInformationMapGetter> getter)
        : map_(map),
          data_(data),
          selectorKey_(std::move(selectorKey)),
          getter_(std::move(getter)) {}

    std::string contentType() const override { return selected()->contentType(); }
    std::string content() const override { return selected()->content(); }
    bool needsIntText() const override { return selected()->needsIntText(); }

    // The source the current selector value chooses.
    TemplateInformationRef selected() const;

  private:
    StringMap& map_;
    InternalData& data_;
    std::string selectorKey_;
    std::shared_ptr<const TemplateInformationMapGetter> getter_;
};
