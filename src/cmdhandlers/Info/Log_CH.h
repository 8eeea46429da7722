#pragma once
// "log": answers nothing; prepares the values of the request-log line for a client event
// ("incoming_word", "action", "type", "result").
#include "kernel/CommandHandler.h"

class Log_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
