#include "kernel/CallbackCheck.h"

#include "kernel/CommandHandler.h"
#include "utils/JsonpCallback.h"

void RequireValidCallback(std::string_view callback) {
    if (!callback.empty() && !IsValidJsonpCallback(callback))
        VERB_THROW(CommandHandler::exception, kInvalidJsonpCallback);
}
