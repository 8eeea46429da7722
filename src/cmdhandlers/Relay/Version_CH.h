#pragma once
// The relay's "ver" command: the relay's own version, as an HTML page for "cmd" = "ver", else as
// XML ("text/xml"). Writes ":template:" (placeholders of the program's constants),
// LoadTemplate = false, and for XML ResponseContentType.
#include "kernel/CommandHandler.h"

namespace ferrix {

class Version_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
