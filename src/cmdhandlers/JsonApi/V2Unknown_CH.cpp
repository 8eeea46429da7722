#include "cmdhandlers/JsonApi/V2Unknown_CH.h"

#include "cmdhandlers/JsonApi/JsonApiAnswer.h"
#include "kernel/ApiPath.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, kUnknownApiCommand, V2Unknown_CH);

void V2Unknown_CH::apply(StringMap& map, InternalData& data) {
    JsonApiAnswer::Failure(map, data, ApiFailure(ApiFailure::kNotFound, "Not found"));
}
