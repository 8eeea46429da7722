#pragma once
// "ospshow", "kwirl_optshow", "ospsave": the options page, with the management of the personal
// dictionary.
//
// "ospsave" first saves: "osp" = "optionssp" (the options chosen on the page) and, by the
// action in "text", calls the engine for the dictionary named in "dname" (the old one is
// "udn"):
//   create  "create_new_user_dictionary"(dname, ud)   err = text 83 (name), failed: 82 (name, code)
//   delete  "delete_user_dictionary"(dname)           err = text 85 (name), failed: 84 (code, name)
//   rename  "rename_user_dictionary"(udn, dname)      err = text 87 (name), failed: 86 (name, code)
//   restore "check_user_dictionary"(dname)            err = text 89 (name), failed: 88 (name)
// then "udn" names the dictionary in use (the new one; after a failed create, delete or rename
// the old one; after a delete or a failed restore none), "err" holds the message (empty for
// another action) and "cmd" becomes "ospshow" so that the page is shown again.
// Every command then writes "optionssp" = "osp" and "dname" = "text" = "udn" ("[/]" as empty).
// Texts are "tx_no82" ... "tx_no89" filled by FormatMessage.
// Throws: command-handler exceptions pass; otherwise "OptionsHandler::apply() - internal error.".
#include "kernel/CommandHandler.h"

class Options_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;

  private:
    static void Save(StringMap& map);
};
