#pragma once
// A text as the grammar checker reads it, indexed once per check: its words (as the spelling
// path splits them), the starts of its letter runs with their case-folded first letters (for
// the rule anchors, see RuleAnchor), and its lines. The text must outlive the object. The words
// are split on first use, as only some matches need them: one object serves one thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spell/TextWord.h"

class GrammarText {
  public:
    // How many case-folded code units of each letter run are kept: enough for any anchor word.
    static constexpr size_t kFoldedRunUnits = 24;

    // A maximal run of letters (code points of category L).
    struct Run {
        size_t pos = 0;
        std::u16string folded;  // the run's first letters, case-folded
    };

    explicit GrammarText(const std::u16string& text);

    const std::u16string& text() const { return text_; }
    const std::vector<TextWord>& words() const;
    const std::vector<Run>& runs() const { return runs_; }

    // The line around `pos` (lines end at "\n"): its start, the first position on it that is
    // not a blank or a tab, and the first that is not white space (the line's end if none).
    size_t LineStart(size_t pos) const { return lines_[LineOf(pos)].start; }
    size_t FirstNonBlank(size_t pos) const { return lines_[LineOf(pos)].firstNonBlank; }
    size_t FirstNonSpace(size_t pos) const { return lines_[LineOf(pos)].firstNonSpace; }
    // Whether the line around `pos` holds marks that prose does not use ("[]{}=;|$`<>").
    bool HasCodeMarks(size_t pos) const { return lines_[LineOf(pos)].codeMarks; }

  private:
    struct Line {
        size_t start = 0;
        size_t firstNonBlank = 0;
        size_t firstNonSpace = 0;
        bool codeMarks = false;
    };
    size_t LineOf(size_t pos) const;

    const std::u16string& text_;
    mutable std::optional<std::vector<TextWord>> words_;
    std::vector<Run> runs_;
    std::vector<Line> lines_;
};
