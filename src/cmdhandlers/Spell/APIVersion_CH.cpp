#include "cmdhandlers/Spell/APIVersion_CH.h"

#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"

VERB_REGISTER_COMMAND(Program::Orthd, "api_version", APIVersion_CH);

void APIVersion_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RequireValidCallback(map["callback"]);
    map["api_version"] = "1.0";
}
