#pragma once
// Shared base of the spelling commands: one call of a spelling function of the engine server.
//
// apply(map, data, function, argumentCount, text, failurePhrase) reads "slang", ":cstdicid:",
// "osp", "ignoresp", "igpossp", "ud", "udn", "appserver_hostname", "appserver_port" (and
// "appserver_wait_ms" through the client) from the string map and the server redirection
// (InternalData key 26) and sends the arguments
//   slang, :cstdicid:, osp + "1", text, ignoresp, user dictionary spec[, igpossp]
// (igpossp only when argumentCount is 7). On return the first result is in result().
//
// Throws CommandHandler::criticalException "The Verbarium Service is currently unavailable."
// when the client cannot be initialised (logged "CommonSpell_CH::apply() *ERROR* Application
// server init failed.") or the call fails (logged with failurePhrase). InternalData::TypeMismatch
// escapes when key 26 holds a value of another type.
#include <string>
#include <string_view>
#include <vector>

#include "kernel/CommandHandler.h"
#include "kernel/ServerRedirectInfo.h"

class CommonSpell_CH : public CommandHandler {
  public:
    static constexpr char kServiceUnavailable[] = "The Verbarium Service is currently unavailable.";
    static constexpr char kLanguageNotConfigured[] =
        "The default language is not configured correctly.";

    using CommandHandler::apply;

    const std::string& result() const { return result_; }

  protected:
    void apply(StringMap& map, InternalData& data, const std::string& function, int argumentCount,
               const std::string& text, const char* failurePhrase);

  public:
    // Where a command's failures are reported from and as what.
    struct FailureReport {
        const char* handlerName;    // logged: "<handlerName>::apply() *ERROR* <cause>"
        const char* internalError;  // message of the command-handler exception
        const char* sourceFile;     // __FILE__ of the command: the module the error names
        int line;
    };

    // Runs `body` and maps what escapes it the way every spelling command reports failures:
    // command-handler exceptions pass unchanged, a missing typed value becomes the
    // "default language" error, anything else the command-handler exception
    // report.internalError. The grammar, thesaurus and dictionary commands report the same way.
    template <typename Body>
    static void RunMapped(const FailureReport& report, Body&& body);

  private:
    [[noreturn]] static void ThrowMapped(const FailureReport& report);

    std::string result_;
};

// The user dictionary argument: "ud" ("[/]" counts as empty), then "$" + "udn" with every blank
// turned into the byte 0x08 (after a "," when "ud" is not empty); "udn" empty or "[/]" adds
// nothing.
std::string UserDictionarySpec(const std::string& ud, const std::string& udn);

// The engine server for a spelling call in `language`: the redirect table's entry (InternalData
// key 26) when it names one, else "appserver_hostname" and "appserver_port".
ServerRedirectInfo::Target SpellServer(StringMap& map, InternalData& data,
                                       const std::string& language);

// The engine's arguments in their fixed order, the first `argumentCount` (6 or 7) of them.
std::vector<std::string> SpellArguments(StringMap& map, const std::string& text, int argumentCount);

template <typename Body>
void CommonSpell_CH::RunMapped(const FailureReport& report, Body&& body) {
    try {
        body();
    } catch (...) {
        ThrowMapped(report);
    }
}
