#include "cmdhandlers/Spell/KwrlAddWord_CH.h"

#include "client/CAppServerClient.h"
#include "cmdhandlers/Dictionary/DictionaryKey.h"
#include "cmdhandlers/Dictionary/UserDictionaryStore.h"
#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_add_word", KwrlAddWord_CH);

namespace {

constexpr char kInternalError[] = "AddCommandHandler::apply() - internal error.";
constexpr char kDeleted[] = "[/]";
// The client's code of an error the engine answered (a name that exists, a wrong key).
constexpr int kEngineRefused = -3;

bool Names(const std::string& value) { return !value.empty() && value != kDeleted; }

struct ClientRelease {
    ClientRelease() = default;
    ClientRelease(const ClientRelease&) = delete;
    ClientRelease& operator=(const ClientRelease&) = delete;
    ~ClientRelease() { AppServerUninit(); }
};

}  // namespace

std::string KwrlAddWord_CH::AddOnServer(StringMap& map, InternalData& data,
                                        const std::string& word) {
    const ServerRedirectInfo::Target server =
        SpellServer(map, data, data.Get<std::string>(idkey::SpellLang));
    const std::string ud = map["ud"] == kDeleted ? std::string() : map["ud"];
    const ClientRelease release;
    if (AppServerConnect(map, server.host, server.port) != 0) {
        report_error("KwrlAddWord_CH::apply() *ERROR* %s", "Application server init failed.");
        VERB_THROW(criticalException, kServiceUnavailable);
    }
    // A request that may not change the dictionary may still make a new one (the first word a
    // page adds): the engine refuses the create when the name exists.
    const bool mayChange = DictionaryKey::MayChange(map);
    std::vector<std::string> results;
    const int code =
        mayChange ? AppServerDoFunc("update_owned_user_dictionary",
                                    {map["udn"], DictionaryKey::Of(map), word, ud}, results, 1)
                  : AppServerDoFunc("create_owned_user_dictionary",
                                    {map["udn"], ud.empty() ? word : ud + "," + word}, results, 1);
    if (code == kEngineRefused && !mayChange)
        VERB_THROW(CommandHandler::exception, DictionaryKey::kRefused);
    if (code != 0) {
        report_error("KwrlAddWord_CH::apply() *ERROR* %s", "Add to dictionary - failed");
        VERB_THROW(criticalException, kServiceUnavailable);
    }
    return results.front();
}

void KwrlAddWord_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RunMapped({"KwrlAddWord_CH", kInternalError, __FILE__, __LINE__}, [&] {
        RequireValidCallback(map["callback"]);
        const std::string word = map["text"];
        std::string list;
        std::string newKey;
        if (Names(map["udn"])) {
            // The word lives in the server-side dictionary; the cookies do not grow.
            newKey = AddOnServer(map, data, word);
            if (!newKey.empty()) DictionaryKey::Keep(map, newKey);
        } else {
            list = Names(map["ud"]) ? map["ud"] : std::string();
            // Measured as the cookie is written: other cookies of the request take no room
            // from it, and a word the cookie cannot hold is refused rather than lost.
            if (!word.empty()) list = UserDictionaryStore::Appended(list, word);
            if (!word.empty() && !UserDictionaryStore::FitsCookie(list))
                VERB_THROW(CommandHandler::exception, UserDictionaryStore::ListFullMessage(map));
        }
        map["ud"] = list;
        map["view"] = AddWordView(word, map["format"] == "json", newKey);
    });
}
