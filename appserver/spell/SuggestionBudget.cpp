#include "spell/SuggestionBudget.h"

#include "core/Log.h"

bool SuggestionBudget::Take() {
    ++words_;
    if (spent_ || suggested_ >= maxWords_) return false;
    // Once spent, the deadline is not asked again: the rest of the words go without.
    spent_ = CallDeadline::Current().SuggestionsSpent(began_);
    if (spent_) return false;
    ++suggested_;
    return true;
}

void SuggestionBudget::Report(const std::string& function) const {
    if (suggested_ == words_) return;
    Log::Warning(function + ": " + std::to_string(words_ - suggested_) + " of " +
                 std::to_string(words_) + " misspelt words answered without suggestions (" +
                 (spent_ ? "time for suggestions spent or client gone" : "word limit") + ")");
}
