#pragma once
// The personal-dictionary functions of the engine server, one call each over a session the
// caller opened. Each returns 0 on success, else the client's error code (-3 for an error the
// engine answers, such as an existing name or a wrong key). "[/]" (deleted) is sent as empty
// where a value may be deleted.
//
// Dictionaries made here get an owner: the engine answers a fresh key (it keeps only its hash),
// and every change passes the caller's key, which the engine checks (a dictionary without owner
// takes any key).
#include <string>

#include "cmdhandlers/Common/EngineSession.h"

class UserDictionaryStore {
  public:
    // The code of an error the engine answered (a name that exists, a wrong key).
    static constexpr int kEngineRefused = -3;
    // The code of a rename to the same name, refused without a call.
    static constexpr int kSameName = -3;
    // The code of a word the cookie list has no room for (the browser would drop the cookie).
    static constexpr int kListFull = -4;

    explicit UserDictionaryStore(EngineSession& session) : session_(session) {}

    // Sets `key` to the new dictionary's owner key.
    int Create(const std::string& name, const std::string& words, std::string& key);
    int Delete(const std::string& name, const std::string& key);
    int Rename(const std::string& oldName, const std::string& key, const std::string& newName);
    // Whether the dictionary exists ("restore").
    int Check(const std::string& name);
    // Adds `word` and the ","-separated `words`, creating the dictionary when missing; `key`
    // becomes the owner key of a dictionary the call created.
    int Update(const std::string& name, std::string& key, const std::string& word,
               const std::string& words);

    // "[/]" as empty.
    static std::string Sent(const std::string& value);
    // Neither empty nor "[/]".
    static bool Named(const std::string& name);
    // `list` ("," separated, "[/]" empty) with `word` appended.
    static std::string Appended(const std::string& list, const std::string& word);
    // Whether the service writes `list` back into the "ud" cookie (kernel/SettingsCookies.h).
    static bool FitsCookie(const std::string& list);
    // What the user reads when a word does not fit: interface text 60, or its English.
    static std::string ListFullMessage(StringMap& map);

  private:
    int Call(const char* function, std::vector<std::string> params);
    // A call with one result, the key, written to `key` on success.
    int CallForKey(const char* function, std::vector<std::string> params, std::string& key);

    EngineSession& session_;
};
