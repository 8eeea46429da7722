#include "cmdhandlers/Dictionary/Dictionary_CH.h"

#include <algorithm>
#include <iterator>

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Dictionary/DictionaryKey.h"
#include "cmdhandlers/Dictionary/MessageFormat.h"
#include "cmdhandlers/Dictionary/UserDictionaryStore.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "utils/JsonpCallback.h"
#include "utils/TextEscapes.h"
#include "utils/logging/Logger.h"

VERB_REGISTER_COMMAND(Program::Orthd, "dictionary", Dictionary_CH);

namespace {

constexpr char kInternalError[] = "Dictionary_CH::apply() - internal error.";
constexpr char kUnknownAction[] = "Unknown dictionary action.";
constexpr const char* kActions[] = {"create", "delete", "rename", "restore", "getname", "addword"};

bool IsAction(const std::string& action) {
    return std::find(std::begin(kActions), std::end(kActions), action) != std::end(kActions);
}

std::string Quoted(const std::string& value) { return "\"" + ScriptStringEscape(value) + "\""; }

// `key`, when not empty, is the dictionary's owner key for a client that keeps it itself.
std::string NameAnswer(const std::string& name, const std::string& action, const std::string& key) {
    return "{\"dname\": " + Quoted(name) + ", \"action\": " + Quoted(action) +
           (key.empty() ? "" : ", \"key\": " + Quoted(key)) + "}";
}

std::string WordAnswer(const std::string& word, const std::string& action, const std::string& key) {
    return "{\"word\": " + Quoted(word) + ", \"action\": " + Quoted(action) +
           (key.empty() ? "" : ", \"key\": " + Quoted(key)) + "}";
}

std::string ErrorAnswer(const Dictionary_CH::DictionaryError& e) {
    return "{\"text\": " + Quoted(e.message()) + ", \"type\": \"" + std::to_string(e.code()) +
           "\", \"error\": true, \"dname\": " + Quoted(e.name()) + "}";
}

// The failure text `number` ("tx_no" + number) filled with `arguments`.
[[noreturn]] void Fail(StringMap& map, int number, std::vector<std::string> arguments, int code,
                       const std::string& name) {
    throw Dictionary_CH::DictionaryError(
        FormatMessage(map["tx_no" + std::to_string(number)], arguments), code, name,
        ModuleOf(__FILE__), __LINE__);
}

// A change the request may not make (ChangeGuard): nothing changes, the cookies stay.
[[noreturn]] void Refuse(const std::string& name) {
    throw Dictionary_CH::DictionaryError(DictionaryKey::kRefused, DictionaryKey::kRefusedCode, name,
                                         ModuleOf(__FILE__), __LINE__);
}

void RequireChangeAllowed(StringMap& map, const std::string& name) {
    if (!DictionaryKey::MayChange(map)) Refuse(name);
}

}  // namespace

void Dictionary_CH::RunAction(StringMap& map) {
    const std::string action = map["action"];
    const std::string ud = map["ud"];
    const std::string oldName = map["udn"];
    const std::string newName = map["dname"];
    // "c" is written in front of "(" as "callback" is: only a plain name may pass.
    if (!map["c"].empty() && IsValidJsonpCallback(map["c"])) map["callback"] = map["c"];
    // A JSONP answer is a call around the JSON; without a callback the answer is the JSON alone.
    map["left_per"] = map["callback"].empty() ? "" : "(";
    map["right_per"] = map["callback"].empty() ? "" : ")";
    // Without a known action nothing is done, and the cookies stay as they are.
    if (!IsAction(action))
        throw DictionaryError(kUnknownAction, 0, oldName, ModuleOf(__FILE__), __LINE__);
    // A create replaces the key in the cookie: a link must not make the browser lose it.
    if (action == "create" || action == "delete" || action == "rename")
        RequireChangeAllowed(map, oldName);
    map["udn"] = newName;
    const bool json = map["format"] == "json";

    EngineSession session(map, EngineSession::Configured(map));
    UserDictionaryStore store(session);
    std::string shownName = newName;
    std::string shownKey;
    if (action == "create") {
        if (const int code = store.Create(newName, ud, shownKey)) {
            map["udn"] = oldName;
            Fail(map, 82, {newName, std::to_string(code)}, code, newName);
        }
        DictionaryKey::Keep(map, shownKey);
    } else if (action == "delete") {
        if (const int code = store.Delete(oldName, DictionaryKey::Of(map))) {
            map["udn"] = oldName;
            Fail(map, 84, {std::to_string(code), oldName}, code, oldName);
        }
        map["udn"] = "";
        DictionaryKey::Keep(map, "");
        shownName = oldName;
    } else if (action == "rename") {
        if (const int code = store.Rename(oldName, DictionaryKey::Of(map), newName)) {
            map["udn"] = oldName;
            Fail(map, 86, {oldName, std::to_string(code)}, code, oldName);
        }
    } else if (action == "restore") {
        if (const int code = store.Check(newName)) {
            map["udn"] = "[/]";
            Fail(map, 88, {newName}, code, newName);
        }
    } else if (action == "getname") {
        map["udn"] = oldName;
        shownName = UserDictionaryStore::Sent(oldName);
        // The cookie's key goes only to a request that carried the cookie, which SameSite=Lax
        // keeps from other sites' pages: the check-as-you-type script keeps it from here on.
        if (!shownName.empty() && oldName == map["c_udn"]) shownKey = DictionaryKey::Of(map);
    } else if (action == "addword") {
        const std::string& word = map["word"];
        if (UserDictionaryStore::Named(oldName)) {
            // Without a change allowed, only a new dictionary can be made: a name that exists
            // is refused by the engine.
            const bool mayChange = DictionaryKey::MayChange(map);
            std::string key = DictionaryKey::Of(map);
            const int code =
                mayChange ? store.Update(oldName, key, word, ud)
                          : store.Create(oldName, UserDictionaryStore::Appended(ud, word), key);
            if (code == UserDictionaryStore::kEngineRefused && !mayChange) {
                map["udn"] = oldName;
                Refuse(oldName);
            }
            if (code != 0)
                FailCritically("Add_CH", "Add to dictionary - failed",
                               CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__);
            if (key != DictionaryKey::Of(map)) {
                // The call made the dictionary: its key goes into the cookie and the answer.
                shownKey = key;
                DictionaryKey::Keep(map, key);
            }
            map["ud"] = "";
        } else {
            map["udn"] = oldName;
            const std::string list = UserDictionaryStore::Appended(ud, word);
            if (!UserDictionaryStore::FitsCookie(list))
                throw DictionaryError(UserDictionaryStore::ListFullMessage(map),
                                      UserDictionaryStore::kListFull, oldName, ModuleOf(__FILE__),
                                      __LINE__);
            map["ud"] = list;
        }
        map["udn"] = oldName;
        if (json) map["view"] = WordAnswer(word, action, shownKey);
        return;
    }
    if (json) map["view"] = NameAnswer(shownName, action, shownKey);
}

void Dictionary_CH::apply(StringMap& map, InternalData& /*data*/) {
    CommonSpell_CH::RunMapped({"Dictionary_CH", kInternalError, __FILE__, __LINE__}, [&] {
        try {
            RunAction(map);
        } catch (const DictionaryError& e) {
            if (map["format"] != "json") throw;
            map["view"] = ErrorAnswer(e);
            report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
        }
        const std::string& udn = map["udn"];
        map["dname"] = udn == "[/]" ? std::string() : udn;
    });
}
