#include "cmdhandlers/Spell/APIVersion_CH.h"

#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "utils/JsonpCallback.h"

VERB_REGISTER_COMMAND(Program::Orthd, "api_version", APIVersion_CH);

void APIVersion_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    const std::string& callback = map["callback"];
    if (!callback.empty() && !IsValidJsonpCallback(callback))
        VERB_THROW(CommandHandler::exception, kInvalidJsonpCallback);
    map["api_version"] = "1.0";
}
