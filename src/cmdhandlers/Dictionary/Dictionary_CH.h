#pragma once
// "dictionary": manages the personal dictionaries of the check-as-you-type client.
//
// Reads: "action", "ud" (cookie word list), "udn" (the dictionary the client uses, the old
// name), "dname" (a name the user typed, the new name), "word", "c"/"callback", "format",
// "tx_no82", "tx_no84", "tx_no86", "tx_no88" (failure texts), the engine address. Actions:
//   create  "create_new_user_dictionary"(new, ud)      udn = new
//   delete  "delete_user_dictionary"(old)              udn = ""
//   rename  "rename_user_dictionary"(old, new)         udn = new (same name: code -3, no call)
//   restore "check_user_dictionary"(new)               udn = new ("[/]" when it fails)
//   getname no call                                    udn = old
//   addword "update_user_dictionary"(old, word, ud) when old names a dictionary, then ud = "";
//           else word appended to ud                   udn = old
// A failed create, rename or delete leaves udn at the old name (the client keeps the dictionary
// it has).
// Owners (DictionaryKey): create makes an owned dictionary and keeps its key for the cookie
// "udk"; delete, rename and addword pass the key ("udk", else the cookie's) to the engine, which
// refuses a wrong one; addword that makes the dictionary keeps the new key. create, delete and
// rename need the key as a parameter or an accepted POST (ChangeGuard), else they fail with
// DictionaryKey::kRefused (code -5) and change nothing; addword without either may only make a
// new dictionary ("create_owned_user_dictionary"; an existing name fails likewise). In
// JSON the key is answered as "key" when create or addword made it, and by getname for the
// cookie's dictionary. In JSON ("format" = "json") a success writes "view" = {dname: "...", action:
// "..."}
// ({word: "...", action: "addword"} for addword); every value is escaped as a script string.
// Writes: "udn", "ud", "callback" ("c" when set), "view", "dname" = udn ("[/]" as empty).
// Throws: DictionaryError for a failed create, delete, rename or restore (in JSON answered as
// "view" = {text: "...", type: "code", error: true, dname: "..."} instead and logged); critical
// "The Verbarium Service is currently unavailable." when addword fails; otherwise
// "Dictionary_CH::apply() - internal error.".
#include <string>

#include "kernel/CommandHandler.h"

class Dictionary_CH : public CommandHandler {
  public:
    // A failed dictionary action: the interface text as message, the engine's result code (or
    // -3) and the dictionary's name.
    class DictionaryError : public CommandHandler::exception {
      public:
        DictionaryError(std::string message, int code, std::string name, std::string file, int line)
            : exception(std::move(message), std::move(file), line),
              code_(code),
              name_(std::move(name)) {}
        int code() const { return code_; }
        const std::string& name() const { return name_; }

      private:
        int code_;
        std::string name_;
    };

    void apply(StringMap& map, InternalData& data) override;

  private:
    static void RunAction(StringMap& map);
};
