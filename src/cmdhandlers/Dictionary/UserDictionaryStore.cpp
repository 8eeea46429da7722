#include "cmdhandlers/Dictionary/UserDictionaryStore.h"

#include "kernel/SettingsCookies.h"

namespace {
constexpr char kDeleted[] = "[/]";
}  // namespace

int UserDictionaryStore::Call(const char* function, std::vector<std::string> params) {
    std::vector<std::string> results;
    return session_.Call(function, params, 0, results);
}

int UserDictionaryStore::CallForKey(const char* function, std::vector<std::string> params,
                                    std::string& key) {
    std::vector<std::string> results;
    const int code = session_.Call(function, params, 1, results);
    if (code == 0) key = results.front();
    return code;
}

int UserDictionaryStore::Create(const std::string& name, const std::string& words,
                                std::string& key) {
    return CallForKey("create_owned_user_dictionary", {Sent(name), Sent(words)}, key);
}

int UserDictionaryStore::Delete(const std::string& name, const std::string& key) {
    return Call("delete_owned_user_dictionary", {name, key});
}

int UserDictionaryStore::Rename(const std::string& oldName, const std::string& key,
                                const std::string& newName) {
    if (oldName == newName) return kSameName;
    return Call("rename_owned_user_dictionary", {oldName, key, newName});
}

int UserDictionaryStore::Check(const std::string& name) {
    return Call("check_user_dictionary", {name});
}

int UserDictionaryStore::Update(const std::string& name, std::string& key, const std::string& word,
                                const std::string& words) {
    std::string created;
    const int code =
        CallForKey("update_owned_user_dictionary", {name, key, word, Sent(words)}, created);
    if (!created.empty()) key = created;
    return code;
}

std::string UserDictionaryStore::Sent(const std::string& value) {
    return value == kDeleted ? std::string() : value;
}

bool UserDictionaryStore::Named(const std::string& name) {
    return !name.empty() && name != kDeleted;
}

std::string UserDictionaryStore::Appended(const std::string& list, const std::string& word) {
    const std::string words = Sent(list);
    return words.empty() ? word : words + "," + word;
}

bool UserDictionaryStore::FitsCookie(const std::string& list) {
    return SettingsCookies::IsValidCookieWordList(list);
}

std::string UserDictionaryStore::ListFullMessage(StringMap& map) {
    const std::string& text = map["tx_no60"];
    return text.empty() ? "The list of ignored words is full." : text;
}
