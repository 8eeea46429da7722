#include "cmdhandlers/Relay/CheckConfig_CH.h"

#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "checkconfig", CheckConfig_CH);

void CheckConfig_CH::apply(StringMap& map, InternalData& data) {
    map[":template:"] =
        "<html><body><iframe src=\"<#ferrix_url#>?cmd=ver\"></iframe><iframe "
        "src=\"<#ferrix_url#>?cmd=orthdver\"></iframe></body></html>";
    data.Set(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, true);
}

}  // namespace ferrix
