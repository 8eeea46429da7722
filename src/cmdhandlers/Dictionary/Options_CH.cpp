#include "cmdhandlers/Dictionary/Options_CH.h"

#include "cmdhandlers/Dictionary/DialogWord.h"
#include "cmdhandlers/Dictionary/DictionaryKey.h"
#include "cmdhandlers/Dictionary/MessageFormat.h"
#include "cmdhandlers/Dictionary/UserDictionaryStore.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "ospshow", Options_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "ospsave", Options_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_optshow", Options_CH);

namespace {

constexpr char kInternalError[] = "OptionsHandler::apply() - internal error.";

// The interface text `number` filled with `arguments`.
std::string Text(StringMap& map, int number, const std::vector<std::string>& arguments) {
    return FormatMessage(map["tx_no" + std::to_string(number)], arguments);
}

// The message of the dictionary action; may change "udn".
std::string RunAction(StringMap& map, const std::string& action, const std::string& oldName) {
    const std::string name = map["dname"];
    if ((action == "create" || action == "delete" || action == "rename") &&
        !DictionaryKey::MayChange(map)) {
        map["udn"] = oldName;
        return DictionaryKey::kRefused;
    }
    EngineSession session(map, EngineSession::Configured(map));
    UserDictionaryStore store(session);
    if (action == "create") {
        std::string key;
        const int code = store.Create(name, map["ud"], key);
        if (code == 0) {
            DictionaryKey::Keep(map, key);
            return Text(map, 83, {name});
        }
        map["udn"] = oldName;
        return Text(map, 82, {name, std::to_string(code)});
    }
    if (action == "delete") {
        const int code = store.Delete(name, DictionaryKey::Of(map));
        map["udn"] = code == 0 ? std::string() : oldName;
        if (code == 0) DictionaryKey::Keep(map, "");
        return code == 0 ? Text(map, 85, {name}) : Text(map, 84, {std::to_string(code), name});
    }
    if (action == "rename") {
        const int code = store.Rename(oldName, DictionaryKey::Of(map), name);
        if (code == 0) return Text(map, 87, {name});
        map["udn"] = oldName;
        return Text(map, 86, {oldName, std::to_string(code)});
    }
    if (action == "restore") {
        if (store.Check(name) == 0) return Text(map, 89, {name});
        map["udn"] = "";
        return Text(map, 88, {name});
    }
    return {};
}

// "dname" and "text" show the dictionary in use.
void ShowName(StringMap& map) {
    const std::string udn = map["udn"];
    map["dname"] = udn == "[/]" ? std::string() : udn;
    map["text"] = map["dname"];
}

}  // namespace

void Options_CH::Save(StringMap& map) {
    const std::string oldName = map["udn"];
    map["udn"] = map["dname"];
    map["osp"] = map["optionssp"];
    const std::string action = map["text"];
    const std::string message = action.empty() ? std::string() : RunAction(map, action, oldName);
    ShowName(map);
    map["err"] = message;
    map["cmd"] = "ospshow";
}

void Options_CH::apply(StringMap& map, InternalData& /*data*/) {
    CommonSpell_CH::RunMapped({"Options_CH", kInternalError, __FILE__, __LINE__}, [&] {
        if (LowerCommand(map) == "ospsave") Save(map);
        map["optionssp"] = map["osp"];
        ShowName(map);
    });
}
