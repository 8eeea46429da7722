#include "ferrix/TemplateInit_FLT.h"

#include <memory>

#include "ferrix/makeScriptTemplateMap.h"
#include "utils/InternalDataKeys.h"

namespace ferrix {

void TemplateInit_FLT::apply(StringMap& map, InternalData& data) {
    try {
        TemplateMap commands;
        commands.set("script",
                     TemplateInformationRef::make<CompositeTemplateInformation>(
                         map, data, "doc", std::make_shared<const makeScriptTemplateMap>()));
        commands.set("error_conversion", ErrorStylesheetSource(map, data));
        data.Insert(idkey::TemplateMap, std::move(commands));
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(TemplateInit_FLTException,
                   std::string("TemplateInit_FLT::apply() - internal error. ") + e.what());
    } catch (...) {
        VERB_THROW(TemplateInit_FLTException, "TemplateInit_FLT::apply() - internal error.");
    }
}

}  // namespace ferrix
