#pragma once
// The relay's "script" command: the service's scripts, style sheets and images, from the relay's
// cache (the "script" entry of the template map, chosen by "doc") or, with NoCache, straight from
// the service host through the "alternate" handler.
//
// Reads: "ferrix_url" (set to REQUEST_PATH when empty), NoCache (key 20, absent = false), the
// template map (key 5). Writes: ":template:", ResponseContentType, LoadTemplate = false (or what
// the "alternate" handler writes).
// Throws: the system's errors unchanged; CommandHandler::criticalException "Requested file name
// is unexpected" when "doc" or its selector value names no file; CommandHandler::exception
// "ProxyScript_CH::apply() - internal error." for any other failure.
#include "kernel/CommandHandler.h"

namespace ferrix {

class ProxyScript_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
