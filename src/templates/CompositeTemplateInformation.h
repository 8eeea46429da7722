#pragma once
// A template source that chooses among variants at call time: the string-map value of its
// selector key (e.g. "format") names the entry of the template map its getter returns.
// Every operation throws TemplateInformationAbsent when the value has no entry and
// wrapper<TemplateInformation>::ENullPointer when the entry is empty.
// The variants are built once per request: again only when the selector value or a template
// directory (":tmpl_dir:", ":d_tmpl_d:") changed since (building may list folders and log).
// `map` and `data` must outlive the source.
#include <memory>
#include <optional>
#include <string>

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
    struct BuiltVariants {
        std::string selector;
        std::string templateDir;
        std::string defaultTemplateDir;
        TemplateMap variants;
    };
    const TemplateMap& variants() const;

    StringMap& map_;
    InternalData& data_;
    std::string selectorKey_;
    std::shared_ptr<const TemplateInformationMapGetter> getter_;
    mutable std::optional<BuiltVariants> built_;
};
