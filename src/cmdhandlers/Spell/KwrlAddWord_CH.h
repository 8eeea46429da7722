#pragma once
// "kwirl_add_word": adds "text" to the user's dictionary: the named one on the engine server
// when "udn" names one, else the cookie list "ud".
//
// Reads: "text", "udn", "ud", "format", "tx_no60", "appserver_hostname",
// "appserver_port"; InternalData SpellLang (1, the language that chooses the server) and the
// server redirection (26). Calls "update_owned_user_dictionary" (udn, key, word, ud) when "udn"
// is set, with the key of DictionaryKey; that add needs the key as the parameter "udk" or an
// accepted POST (ChangeGuard). Without either, only a new dictionary can be made
// ("create_owned_user_dictionary"); an existing one fails with DictionaryKey::kRefused.
// Writes: "ud" (the cookie list, empty after a server-side add), ":udk:" (the key of a
// dictionary the call made), "view" ({"words":[{"id":"w"}]} when "format" is "json", with
// "key" for a dictionary the call made, else "<addword name=\"w\"/>").
// Throws: CommandHandler::exception "Invalid callback name." for a callback that is not a
// valid name (kernel/CallbackCheck.h); the critical CommandHandler exception when the engine fails
// (logged "KwrlAddWord_CH::apply() *ERROR* ..."); CommandHandler::exception with the text "tx_no60"
// ("The list of ignored words is full." without it) when the list, encoded for its cookie, would
// grow past SettingsCookies::kMaxCookieWordListBytes; Error::ErrorMessage "The default language is
// not configured correctly." without SpellLang; otherwise CommandHandler::exception
// "AddCommandHandler::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class KwrlAddWord_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;

  private:
    // Returns the owner key of a dictionary the call made, else empty.
    static std::string AddOnServer(StringMap& map, InternalData& data, const std::string& word);
};
