#include "cmdhandlers/Spell/CommonSpell_CH.h"

#include <charconv>
#include <cstdint>

#include "client/CAppServerClient.h"
#include "kernel/ServerRedirectInfo.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kDeleted[] = "[/]";
constexpr char kUserDictionaryBlank = '\x08';
constexpr size_t kResultCount = 1;

// The decimal port, or 0 (no server listens there) for anything else.
std::uint16_t PortOf(const std::string& text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || rest != end || value > UINT16_MAX) return 0;
    return static_cast<std::uint16_t>(value);
}

// The engine server for a spelling call in `language`: the redirect table's entry (InternalData
// key 26) when it names one, else the configured host and port.
ServerRedirectInfo::Target SpellServerFor(const std::string& language, InternalData& data,
                                          ServerRedirectInfo::Target configured) {
    if (language.empty() || !data.Find(idkey::ServerRedirects)) return configured;
    const auto* redirects = data.Get<const ServerRedirectInfo*>(idkey::ServerRedirects);
    if (redirects == nullptr) return configured;
    return redirects->Find(ServiceKind::Spell, language).value_or(std::move(configured));
}

// Releases the client however the call ends.
struct ClientSession {
    ClientSession() = default;
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;
    ~ClientSession() { AppServerUninit(); }
};

}  // namespace

std::string UserDictionarySpec(const std::string& ud, const std::string& udn) {
    std::string spec = ud == kDeleted ? std::string() : ud;
    if (udn.empty() || udn == kDeleted) return spec;
    std::string name = udn;
    for (char& c : name)
        if (c == ' ') c = kUserDictionaryBlank;
    spec += spec.empty() ? "$" : ",$";
    return spec + name;
}

ServerRedirectInfo::Target SpellServer(StringMap& map, InternalData& data,
                                       const std::string& language) {
    return SpellServerFor(language, data,
                          {map["appserver_hostname"], PortOf(map["appserver_port"])});
}

constexpr char kDefaultOptions[] = "0001";

std::vector<std::string> SpellArguments(StringMap& map, const std::string& text,
                                        int argumentCount) {
    // A request without cookies and an INI without "osp" leave the options empty; "1" alone
    // would then switch on "ignore words in capitals". Empty means the cookie's default.
    const std::string& osp = map["osp"];
    std::vector<std::string> arguments{
        map["slang"],  map[":cstdicid:"], (osp.empty() ? std::string(kDefaultOptions) : osp) + "1",
        text,          map["ignoresp"],   UserDictionarySpec(map["ud"], map["udn"]),
        map["igpossp"]};
    if (argumentCount >= 0 && static_cast<size_t>(argumentCount) < arguments.size())
        arguments.resize(static_cast<size_t>(argumentCount));
    return arguments;
}

void CommonSpell_CH::apply(StringMap& map, InternalData& data, const std::string& function,
                           int argumentCount, const std::string& text, const char* failurePhrase) {
    const std::vector<std::string> arguments = SpellArguments(map, text, argumentCount);
    ClientSession session;
    const ServerRedirectInfo::Target server = SpellServer(map, data, map["slang"]);
    if (AppServerConnect(map, server.host, server.port) != 0) {
        report_error("CommonSpell_CH::apply() *ERROR* %s", "Application server init failed.");
        VERB_THROW(criticalException, kServiceUnavailable);
    }
    std::vector<std::string> results;
    if (AppServerDoFunc(function, arguments, results, kResultCount) != 0 || results.empty()) {
        report_error("CommonSpell_CH::apply() *ERROR* %s", failurePhrase);
        VERB_THROW(criticalException, kServiceUnavailable);
    }
    result_ = std::move(results.front());
}

void CommonSpell_CH::ThrowMapped(const FailureReport& report) {
    const std::string module = ModuleOf(report.sourceFile);
    try {
        throw;
    } catch (const CommandHandler::exception&) {
        throw;
    } catch (const InternalData::ValueNotFound&) {
        throw Error::ErrorMessage(kLanguageNotConfigured, module, report.line);
    } catch (const InternalData::TypeMismatch&) {
        report_error("%s::apply() *ERROR* %s", report.handlerName, "typed value of another type");
    } catch (const std::exception& e) {
        report_error("%s::apply() *ERROR* %s", report.handlerName, e.what());
    } catch (...) {
        report_error("%s::apply() *ERROR* %s", report.handlerName, "unexpected failure");
    }
    throw CommandHandler::exception(report.internalError, module, report.line);
}
