#pragma once
// The relay's "error_conversion" command: the style sheet that turns the relay's XML error
// documents into pages. Runs the "script" command (else "alternate", else "default") for
// "doc" = "error.xsl"; the system's errors from it are logged ("Script command executed with
// error: %s file: %s line: %d") and swallowed, so the template stage falls back to the
// "error_conversion" entry (the built-in style sheet when the service host cannot give one).
// "cmd" is "error_conversion" again afterwards in every case.
// Throws: CommandHandler::exception "ErrorConversion_CH::apply() - internal error." for any
// other failure.
#include "kernel/CommandHandler.h"

namespace ferrix {

class ErrorConversion_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
