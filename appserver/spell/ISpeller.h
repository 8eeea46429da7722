#pragma once
// One spelling back end handle for one language. Words go in and out as UTF-8.
// A handle is not thread-safe: SpellerPool hands each one to one thread at a time.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ISpeller {
  public:
    virtual ~ISpeller() = default;
    virtual bool Check(std::string_view word) = 0;
    // Whether each blank-separated word of `words` is accepted (a split suggestion: "a lot").
    bool CheckEach(std::string_view words) {
        for (size_t from = 0; from <= words.size();) {
            const size_t to = std::min(words.find(' ', from), words.size());
            if (!Check(words.substr(from, to - from))) return false;
            from = to + 1;
        }
        return true;
    }
    // At most `max` suggestions, best first.
    virtual std::vector<std::string> Suggest(std::string_view word, size_t max) = 0;
    // How much the handle keeps for the work it has done, in the back end's own unit; 0 for a
    // back end whose memory stays flat. SpellerPool replaces a handle that wore out.
    virtual size_t Wear() const { return 0; }
    // The words of the dictionary as stored (stems, without affix flags), for the engine's own
    // suggestion index; empty when the back end cannot list them.
    virtual std::vector<std::string> DictionaryWords() { return {}; }
};
