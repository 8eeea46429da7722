#pragma once
// A template source that chooses among variants at call time: the string-map value of its
// selector key (e.g. "format") names the entry of the template map its getter returns.
// Every operation throws TemplateInformationAbsent when the value has no entry and
// wrapper<TemplateInformation>::ENullPointer when the entry is empty.
// The variants are built once per request: again only when the selector value or a template
// directory (":tmpl_dir:", ":d_tmpl_d:") changed since (building may list folders and log), or
// when shared RequestStores were bound to another request.
// `map` and `data` must outlive the source; shared stores must be bound to a living request when
// the source is used.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "templates/RequestStores.h"
#include "templates/TemplateMap.h"

class CompositeTemplateInformation : public TemplateInformation {
  public:
    class TemplateInformationMapGetter {
      public:
        virtual TemplateMap operator()(StringMap& map, InternalData& data) const = 0;
        virtual ~TemplateInformationMapGetter() = default;
    };

    CompositeTemplateInformation(StringMap& map, InternalData& data, std::string selectorKey,
                                 std::shared_ptr<const TemplateInformationMapGetter> getter)
        : own_(map, data), selectorKey_(std::move(selectorKey)), getter_(std::move(getter)) {}
    CompositeTemplateInformation(std::shared_ptr<const RequestStores> stores,
                                 std::string selectorKey,
                                 std::shared_ptr<const TemplateInformationMapGetter> getter)
        : shared_(std::move(stores)),
          selectorKey_(std::move(selectorKey)),
          getter_(std::move(getter)) {}

    std::string contentType() const override { return selected()->contentType(); }
    std::string content() const override { return selected()->content(); }
    bool needsIntText() const override { return selected()->needsIntText(); }

    // The source the current selector value chooses.
    TemplateInformationRef selected() const;

  private:
    struct BuiltVariants {
        std::uint64_t generation;
        std::string selector;
        std::string templateDir;
        std::string defaultTemplateDir;
        TemplateMap variants;
    };
    const TemplateMap& variants() const;
    const RequestStores& stores() const { return shared_ ? *shared_ : own_; }

    RequestStores own_;
    std::shared_ptr<const RequestStores> shared_;
    std::string selectorKey_;
    std::shared_ptr<const TemplateInformationMapGetter> getter_;
    mutable std::optional<BuiltVariants> built_;
};
