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
// it has). In JSON ("format" = "json") a success writes "view" = {dname: "...", action: "..."}
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
