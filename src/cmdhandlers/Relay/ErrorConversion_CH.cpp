#include "cmdhandlers/Relay/ErrorConversion_CH.h"

#include "cmdhandlers/Relay/RunRegistered.h"
#include "kernel/CommandRegistry.h"
#include "utils/logging/Logger.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "error_conversion", ErrorConversion_CH);

namespace {

constexpr char kCommand[] = "error_conversion";

// Puts "cmd" back however the script command ends.
struct CommandRestorer {
    StringMap& map;
    ~CommandRestorer() { map["cmd"] = kCommand; }
};

}  // namespace

void ErrorConversion_CH::apply(StringMap& map, InternalData& data) {
    CommandRestorer restore{map};
    map["cmd"] = "script";
    map["doc"] = "error.xsl";
    try {
        RunRegistered({"script", "alternate", "default"}, map, data);
    } catch (const Error::ErrorMessage& e) {
        report_error("Script command executed with error: %s file: %s line: %d", e.what(),
                     e.file().c_str(), e.line());
    } catch (...) {
        VERB_THROW(CommandHandler::exception, "ErrorConversion_CH::apply() - internal error.");
    }
}

}  // namespace ferrix
