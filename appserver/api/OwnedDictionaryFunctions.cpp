#include "api/OwnedDictionaryFunctions.h"

#include "core/RequestDispatcher.h"
#include "dict/DictionaryStore.h"

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
}
