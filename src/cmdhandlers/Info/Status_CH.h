#pragma once
// "status": a self-check for monitoring. Runs spelling, grammar and thesaurus commands on fixed
// texts through the command registry and writes "OK" or "ERROR" per group into "status"
// ("OK,OK,OK" when healthy). Any failed group also makes the answer "503 Service Unavailable",
// so a monitor can read the state from the status code alone.
#include "kernel/CommandHandler.h"

class Status_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
