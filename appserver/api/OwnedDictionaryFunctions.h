#pragma once
// The engine functions of personal dictionaries with owners (DictionaryStore's owner keys):
//   create_owned_user_dictionary  name, words        -> 1: the new owner key
//   claim_user_dictionary         name               -> 1: the new owner key (ownerless only)
//   authorize_user_dictionary     name, key          -> 0 (error unless the key is right or
//                                                         the dictionary has no owner)
//   list_user_dictionary          name, key          -> 1: the words separated by LF
//   add_user_dictionary_words     name, key, words   -> 0 (comma-separated words)
//   remove_user_dictionary_word   name, key, word    -> 0
//   update_owned_user_dictionary  name, key, word, words -> 1: the new owner key when the call
//                                                         created the dictionary, else empty
//   rename_owned_user_dictionary  name, key, new name -> 0
//   delete_owned_user_dictionary  name, key          -> 0
// The key is checked first (DictionaryStore::Authorize): a wrong one changes nothing. The check
// and the change are two steps of the store; a dictionary claimed between them is changed once
// more without its new key. The older functions without a key stay as they were, for callers
// that hold no key (the service uses the keyed ones).
class DictionaryStore;
class RequestDispatcher;

class OwnedDictionaryFunctions {
  public:
    static void Register(RequestDispatcher& dispatcher, DictionaryStore& store);
};
