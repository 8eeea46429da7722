#pragma once
// The engine functions of personal dictionaries with owners (DictionaryStore's owner keys):
//   create_owned_user_dictionary  name, words        -> 1: the new owner key
//   claim_user_dictionary         name               -> 1: the new owner key (ownerless only)
//   authorize_user_dictionary     name, key          -> 0 (error unless the key is right or
//                                                         the dictionary has no owner)
//   list_user_dictionary          name, key          -> 1: the words separated by LF
//   add_user_dictionary_words     name, key, words   -> 0 (comma-separated words)
//   remove_user_dictionary_word   name, key, word    -> 0
// The older functions without a key stay as they were: the service
// authorizes before it calls them.
class DictionaryStore;
class RequestDispatcher;

class OwnedDictionaryFunctions {
  public:
    static void Register(RequestDispatcher& dispatcher, DictionaryStore& store);
};
