#include "cmdhandlers/Relay/OrthdVersion_CH.h"

#include "cmdhandlers/Relay/RunRegistered.h"
#include "kernel/CommandRegistry.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "orthdver", OrthdVersion_CH);

void OrthdVersion_CH::apply(StringMap& map, InternalData& data) {
    map["cmd"] = "ver";
    RunRegistered({"alternate", "default"}, map, data);
}

}  // namespace ferrix
