#include "cmdhandlers/JsonApi/ApiEngineCall.h"

#include "client/CAppServerClient.h"
#include "cmdhandlers/Common/EngineSession.h"
#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "utils/logging/Logger.h"

namespace {

// The engine answered with an error of its own (CAppServerClient code -3).
constexpr int kEngineRefused = -3;
constexpr char kWrongKey[] = "Wrong key for the user dictionary";

bool IsServerFault(const std::string& message) {
    return message.starts_with("Server busy") || message.starts_with("Internal error") ||
           message.starts_with("Out of memory") || message.starts_with("Request");
}

}  // namespace

std::vector<std::string> ApiEngineCall::Call(StringMap& map, InternalData& data,
                                             const std::string& language,
                                             const std::string& function,
                                             const std::vector<std::string>& params,
                                             size_t expected) {
    EngineSession session(map, SpellServer(map, data, language));
    try {
        if (!session.connected())
            throw CAppServerClient::Error(session.initCode(), "cannot reach the engine server");
        return CAppServerClient::Instance().DoFunc(function, params, expected);
    } catch (const CAppServerClient::Error& e) {
        if (session.connected()) CAppServerClient::Instance().NoteFailure();  // else counted
        report_error("*ERROR* %s: %s failed: %s", map["cmd"].c_str(), function.c_str(), e.what());
        if (e.code() == kEngineRefused && std::string(e.what()) == kWrongKey)
            throw ApiFailure(ApiFailure::kForbidden, e.what());
        if (e.code() == kEngineRefused && !IsServerFault(e.what()))
            throw ApiFailure(ApiFailure::kBadRequest, e.what());
        throw ApiFailure(ApiFailure::kUnavailable, CommonSpell_CH::kServiceUnavailable);
    }
}
