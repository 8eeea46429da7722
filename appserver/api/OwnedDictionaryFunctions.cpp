#include "api/OwnedDictionaryFunctions.h"

#include "core/EngineError.h"
#include "core/RequestDispatcher.h"
#include "dict/DictionaryStore.h"

namespace {

// Adds to the dictionary after checking the key; a missing dictionary is created with an owner,
// and its key is the answer (empty when the dictionary existed).
std::string UpdateOwned(DictionaryStore& store, const std::string& name, const std::string& key,
                        const std::string& word, const std::string& words) {
    if (!store.Exists(name)) {
        try {
            return store.CreateOwned(name, word.empty() ? words : word + "," + words);
        } catch (const EngineError&) {
            // Created meanwhile by another call (or a word broke a rule): added as to any other.
            if (!store.Exists(name)) throw;
        }
    }
    store.Authorize(name, key);
    store.AddWords(name, word, words);
    return {};
}

}  // namespace

void OwnedDictionaryFunctions::Register(RequestDispatcher& dispatcher, DictionaryStore& store) {
    using Params = RequestDispatcher::Params;
    using Results = std::vector<std::string>;
    dispatcher.Add("create_owned_user_dictionary", 2,
                   [&store](const Params& p) { return Results{store.CreateOwned(p[0], p[1])}; });
    dispatcher.Add("claim_user_dictionary", 1,
                   [&store](const Params& p) { return Results{store.Claim(p[0])}; });
    dispatcher.Add("authorize_user_dictionary", 2, [&store](const Params& p) {
        store.Authorize(p[0], p[1]);
        return Results{};
    });
    dispatcher.Add("list_user_dictionary", 2, [&store](const Params& p) {
        std::string words;
        for (const std::string& word : store.List(p[0], p[1])) words += word + "\n";
        if (!words.empty()) words.pop_back();
        return Results{words};
    });
    dispatcher.Add("add_user_dictionary_words", 3, [&store](const Params& p) {
        store.Authorize(p[0], p[1]);
        store.AddWords(p[0], "", p[2]);
        return Results{};
    });
    dispatcher.Add("remove_user_dictionary_word", 3, [&store](const Params& p) {
        store.RemoveWord(p[0], p[1], p[2]);
        return Results{};
    });
    dispatcher.Add("update_owned_user_dictionary", 4, [&store](const Params& p) {
        return Results{UpdateOwned(store, p[0], p[1], p[2], p[3])};
    });
    dispatcher.Add("rename_owned_user_dictionary", 3, [&store](const Params& p) {
        store.Authorize(p[0], p[1]);
        store.Rename(p[0], p[2]);
        return Results{};
    });
    dispatcher.Add("delete_owned_user_dictionary", 2, [&store](const Params& p) {
        store.Authorize(p[0], p[1]);
        store.Delete(p[0]);
        return Results{};
    });
}
