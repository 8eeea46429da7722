#include "cmdhandlers/Dictionary/UserDictionaryStore.h"

#include "kernel/SettingsCookies.h"

namespace {
constexpr char kDeleted[] = "[/]";
}  // namespace

int UserDictionaryStore::Call(const char* function, std::vector<std::string> params) {
    std::vector<std::string> results;
    return session_.Call(function, params, 0, results);
}

int UserDictionaryStore::Create(const std::string& name, const std::string& words) {
    return Call("create_new_user_dictionary", {Sent(name), Sent(words)});
}

int UserDictionaryStore::Delete(const std::string& name) {
    return Call("delete_user_dictionary", {name});
}

int UserDictionaryStore::Rename(const std::string& oldName, const std::string& newName) {
    if (oldName == newName) return kSameName;
    return Call("rename_user_dictionary", {oldName, newName});
}

int UserDictionaryStore::Check(const std::string& name) {
    return Call("check_user_dictionary", {name});
}

int UserDictionaryStore::Update(const std::string& name, const std::string& word,
                                const std::string& words) {
    return Call("update_user_dictionary", {name, word, Sent(words)});
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
