#pragma once
// How many of one call's misspelt words get suggestions: at most `maxWords`, and only while the
// call's deadline (CallDeadline::Current) leaves time for suggestions (counted from the
// budget's construction, so that checking a long text does not use it up) and its client waits.
// The words past the budget are answered without suggestions; Report logs how many.
#include <cstddef>
#include <string>

#include "core/CallDeadline.h"

class SuggestionBudget {
  public:
    explicit SuggestionBudget(size_t maxWords)
        : maxWords_(maxWords), began_(CallDeadline::Clock::now()) {}

    // Whether the next word gets suggestions; counts the word.
    bool Take();
    // One warning line when words went without suggestions because of the budget.
    void Report(const std::string& function) const;
    // Whether some word went without suggestions.
    bool Cut() const { return suggested_ != words_; }

  private:
    const size_t maxWords_;
    const CallDeadline::Clock::time_point began_;
    size_t words_ = 0;
    size_t suggested_ = 0;
    bool spent_ = false;
};
