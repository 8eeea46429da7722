#pragma once
// "api_version": the web-service API's version.
//
// Reads: "callback" (when given, a valid JSONP name). Writes: "api_version" = "1.0".
// Throws CommandHandler::exception "Invalid callback name." for any other callback.
#include "kernel/CommandHandler.h"

class APIVersion_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
