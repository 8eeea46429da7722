#include "cmdhandlers/Dictionary/Add_CH.h"

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Dictionary/DialogWord.h"
#include "cmdhandlers/Dictionary/DictionaryKey.h"
#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Dictionary/UserDictionaryStore.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "sp_add", Add_CH);

namespace {

constexpr char kHandler[] = "Add_CH";
constexpr char kInternalError[] = "AddCommandHandler::apply() - internal error.";
constexpr char kNextCommand[] = "spell";

void AddToNamedDictionary(StringMap& map, InternalData& data, const std::string& word) {
    const EngineSession::Target server =
        EngineSession::Redirected(data, ServiceKind::Spell, data.Get<std::string>(idkey::SpellLang),
                                  EngineSession::Configured(map));
    EngineSession session(map, server);
    if (!session.connected())
        FailCritically(kHandler, "Application server init failed.",
                       CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__);
    std::string key = DictionaryKey::Of(map);
    if (UserDictionaryStore(session).Update(map["udn"], key, word, map["ud"]) != 0)
        FailCritically(kHandler, "Add to dictionary - failed", CommonSpell_CH::kServiceUnavailable,
                       __FILE__, __LINE__);
    // A dictionary the call made: its key goes into the cookie.
    if (key != DictionaryKey::Of(map)) DictionaryKey::Keep(map, key);
}

}  // namespace

void Add_CH::apply(StringMap& map, InternalData& data) {
    CommonSpell_CH::RunMapped({kHandler, kInternalError, __FILE__, __LINE__}, [&] {
        const auto model = std::make_shared<TextProcessor>(
            map[":prse_opt:"], data.Get<FilteringParams>(idkey::FilteringParams));
        model->SetText(map["text"]);
        const DialogWord word = DialogWord::Take(map, *model);
        map[":chng_pos:"] = word.End();
        if (UserDictionaryStore::Named(map["udn"])) {
            if (!DictionaryKey::MayChange(map))
                VERB_THROW(CommandHandler::exception, DictionaryKey::kRefused);
            AddToNamedDictionary(map, data, word.text);
            map["ud"] = "";
        } else {
            const std::string list = UserDictionaryStore::Appended(map["ud"], word.text);
            if (!UserDictionaryStore::FitsCookie(list))
                VERB_THROW(CommandHandler::exception, UserDictionaryStore::ListFullMessage(map));
            map["ud"] = list;
        }
        // The text stays as it is: the spell check takes the model just loaded.
        KeepLoadedText(map, data, kNextCommand, model);
    });
    RunNextCommand(map, data, kNextCommand);
}
