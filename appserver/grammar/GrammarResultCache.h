#pragma once
// The problems of recently checked texts, so that a text checked again (an editor's unchanged
// paragraph, a form sent once more) costs a look-up instead of a check. Entries are whole texts:
// rules look past sentence ends (a sentence start looks at the mark before it, a repeated word
// may span a line break), so a part of a text is not checked alone. The least recently used
// entries are dropped once the entries take more than the budget; an entry that would take more
// than kMaxEntryShare of it is not kept. A budget of 0 keeps nothing. Thread-safe.
#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grammar/GrammarProblem.h"

class GrammarResultCache {
  public:
    static constexpr size_t kMaxEntryShare = 8;  // an entry takes at most budget / 8

    explicit GrammarResultCache(size_t budgetBytes) : budget_(budgetBytes) {}

    std::optional<std::vector<GrammarProblem>> Find(const std::u16string& text);
    void Store(const std::u16string& text, const std::vector<GrammarProblem>& problems);

    size_t size() const;
    size_t bytes() const;

    // What an entry is counted: the text, the problems with their strings, bookkeeping.
    static size_t EntryBytes(const std::u16string& text,
                             const std::vector<GrammarProblem>& problems);

  private:
    struct Entry {
        std::u16string text;
        std::vector<GrammarProblem> problems;
        size_t bytes = 0;
    };

    const size_t budget_;
    mutable std::mutex mutex_;
    size_t bytes_ = 0;
    std::list<Entry> order_;  // most recently used first
    std::unordered_map<std::u16string_view, std::list<Entry>::iterator> index_;  // views of texts
};
