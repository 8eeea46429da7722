#include "cmdhandlers/Info/CommandFailure.h"

#include <string>

namespace info {

void ThrowMapped(const CommandFailure& failure) {
    const std::string module = ModuleOf(failure.sourceFile);
    try {
        throw;
    } catch (const CommandHandler::exception&) {
        throw;
    } catch (const InternalData::ValueNotFound&) {
        if (failure.missingValueIsLanguageError)
            throw Error::ErrorMessage(kLanguageNotConfigured, module, failure.line);
        report_error("%s::apply() *ERROR* %s", failure.handlerName, "typed value missing");
    } catch (const InternalData::TypeMismatch&) {
        report_error("%s::apply() *ERROR* %s", failure.handlerName, "typed value of another type");
    } catch (const std::exception& e) {
        report_error("%s::apply() *ERROR* %s", failure.handlerName, e.what());
    } catch (...) {
        report_error("%s::apply() *ERROR* %s", failure.handlerName, "unexpected failure");
    }
    throw CommandHandler::exception(failure.internalError, module, failure.line);
}

}  // namespace info
