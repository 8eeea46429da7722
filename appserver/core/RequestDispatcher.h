#pragma once
// Turns one request body into one complete answer message: decodes the body (wire format),
// finds the function, checks its parameter count, runs it and frames the results. Every
// failure becomes a "VerbarError" answer with a one-line message; nothing escapes Answer.
// Thread-safe when the services are.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class DictionaryStore;
class GrammarService;
class SpellService;
class Thesaurus;

class RequestDispatcher {
  public:
    // `thesaurus` may be null: its functions then answer "Thesaurus is not available".
    RequestDispatcher(SpellService& spell, GrammarService& grammar, Thesaurus* thesaurus,
                      DictionaryStore& dictionaries);

    std::string Answer(std::string_view body) const;

    using Params = std::vector<std::string>;
    // Serves `name` with `paramCount` parameters by `run` (functions kept in their own files).
    void Add(const std::string& name, size_t paramCount,
             std::function<std::vector<std::string>(const Params&)> run) {
        functions_[name] = {paramCount, std::move(run)};
    }

    // The function names served, for the log.
    std::vector<std::string> Functions() const;

  private:
    struct Function {
        size_t paramCount;
        std::function<std::vector<std::string>(const Params&)> run;
    };
    void AddSpelling();
    void AddThesaurus(Thesaurus* thesaurus);
    void AddDictionaries(DictionaryStore& dictionaries);

    SpellService& spell_;
    GrammarService& grammar_;
    std::map<std::string, Function, std::less<>> functions_;
};
