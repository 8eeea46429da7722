#include "core/RequestDispatcher.h"

#include <new>

#include "core/EngineError.h"
#include "core/Log.h"
#include "dict/DictionaryStore.h"
#include "grammar/GrammarService.h"
#include "spell/SpellRequest.h"
#include "spell/SpellService.h"
#include "thes/Thesaurus.h"
#include "wire/WireAnswer.h"
#include "wire/WireRequest.h"

namespace {

constexpr size_t kMaxNameInMessage = 64;
constexpr size_t kSpellingParams = 6;
constexpr size_t kCheckSpellingParams = 7;

// A printable, bounded form of a client-supplied name for messages and the log.
std::string Printable(std::string_view name) {
    std::string out;
    for (char c : name.substr(0, kMaxNameInMessage)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    if (name.size() > kMaxNameInMessage) out += "...";
    return out;
}

std::string ParseErrorMessage(const wire::RequestParseResult& parsed) {
    switch (parsed.error) {
        case wire::RequestParseError::kEmptyBody:
            return "Empty request";
        case wire::RequestParseError::kEmptyFunction:
            return "Missing function name";
        case wire::RequestParseError::kBadEscape:
            return "Malformed escape in request line " + std::to_string(parsed.badLine + 1);
        case wire::RequestParseError::kNone:
            break;
    }
    return "Malformed request";
}

}  // namespace

RequestDispatcher::RequestDispatcher(SpellService& spell, GrammarService& grammar,
                                     Thesaurus* thesaurus, DictionaryStore& dictionaries)
    : spell_(spell), grammar_(grammar) {
    AddSpelling();
    AddThesaurus(thesaurus);
    AddDictionaries(dictionaries);
    functions_["check_grammar"] = {4, [this](const Params& p) { return grammar_.CheckGrammar(p); }};
}

void RequestDispatcher::AddSpelling() {
    using Method = std::string (SpellService::*)(const SpellRequest&);
    auto spelling = [this](size_t count, Method method) {
        return Function{
            count, [this, method](const Params& p) {
                return std::vector<std::string>{(spell_.*method)(SpellRequest::Parse(p))};
            }};
    };
    functions_["check_spelling4"] = spelling(kCheckSpellingParams, &SpellService::CheckSpelling);
    functions_["check_is_correct4"] = spelling(kSpellingParams, &SpellService::CheckIsCorrect);
    functions_["get_suggestions4"] = spelling(kSpellingParams, &SpellService::Suggestions);
    functions_["get_all_suggestions4"] = spelling(kSpellingParams, &SpellService::AllSuggestions);
    functions_["check_and_suggestions"] =
        spelling(kSpellingParams, &SpellService::CheckAndSuggestions);
}

void RequestDispatcher::AddThesaurus(Thesaurus* thesaurus) {
    auto need = [thesaurus]() -> Thesaurus& {
        if (!thesaurus) throw EngineError("Thesaurus is not available");
        return *thesaurus;
    };
    functions_["text_thesaurus"] = {
        1, [need](const Params& p) {
            return std::vector<std::string>{need().TextRanges(p[0], false)};
        }};
    functions_["text_antonyms"] = {
        1, [need](const Params& p) {
            return std::vector<std::string>{need().TextRanges(p[0], true)};
        }};
    functions_["get_syn_list"] = {
        1, [need](const Params& p) { return std::vector<std::string>{need().SynonymList(p[0])}; }};
    functions_["get_ant_list"] = {
        1, [need](const Params& p) { return std::vector<std::string>{need().AntonymList(p[0])}; }};
}

void RequestDispatcher::AddDictionaries(DictionaryStore& store) {
    using Results = std::vector<std::string>;
    functions_["create_new_user_dictionary"] = {2, [&store](const Params& p) {
                                                    store.Create(p[0], p[1]);
                                                    return Results{};
                                                }};
    functions_["rename_user_dictionary"] = {2, [&store](const Params& p) {
                                                store.Rename(p[0], p[1]);
                                                return Results{};
                                            }};
    functions_["delete_user_dictionary"] = {1, [&store](const Params& p) {
                                                store.Delete(p[0]);
                                                return Results{};
                                            }};
    functions_["check_user_dictionary"] = {1, [&store](const Params& p) {
                                               if (!store.Exists(p[0]))
                                                   throw EngineError("User dictionary not found");
                                               return Results{};
                                           }};
    functions_["update_user_dictionary"] = {3, [&store](const Params& p) {
                                                store.AddWords(p[0], p[1], p[2]);
                                                return Results{};
                                            }};
}

std::vector<std::string> RequestDispatcher::Functions() const {
    std::vector<std::string> names;
    for (const auto& entry : functions_) names.push_back(entry.first);
    return names;
}

std::string RequestDispatcher::Answer(std::string_view body) const {
    try {
        const wire::RequestParseResult parsed = wire::ParseRequestBody(body);
        if (!parsed.ok()) return wire::BuildErrorAnswer(ParseErrorMessage(parsed));
        const auto found = functions_.find(parsed.call.function);
        if (found == functions_.end())
            return wire::BuildErrorAnswer("Unknown function " + Printable(parsed.call.function));
        const Function& function = found->second;
        if (parsed.call.params.size() != function.paramCount)
            return wire::BuildErrorAnswer(
                "Function " + found->first + " takes " + std::to_string(function.paramCount) +
                " parameters, not " + std::to_string(parsed.call.params.size()));
        return wire::BuildOkAnswer(function.run(parsed.call.params));
    } catch (const EngineError& e) {
        return wire::BuildErrorAnswer(e.what());
    } catch (const std::bad_alloc&) {
        Log::Error("out of memory while serving a request");
        return wire::BuildErrorAnswer("Out of memory");
    } catch (const std::exception& e) {
        Log::Error(std::string("request failed: ") + e.what());
        return wire::BuildErrorAnswer(std::string("Internal error: ") + e.what());
    }
}
