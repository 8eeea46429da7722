#pragma once
// Where a grammar rule's match can start, read from its pattern, so that the checker tries a
// rule only there instead of at every position of the text. Three kinds:
//   kAnywhere   nothing known: the rule is tried at every position;
//   kAnyWord    the match starts at the first letter of a word (a maximal run of letters);
//   kWords      the match starts at the first letter of a word whose case-folded letters begin
//               with one of words() (case-folded): "\b(could|should)[ \t]+of" gives could,
//               should;
//   kChars      the match starts with one of chars(), none a letter: "(?<=\p{L})([,;])\1"
//               gives ",;".
// The reading is conservative: a pattern it does not fully understand is kAnywhere, so the
// anchor never hides a match (a start it gives always holds a superset of the real starts).
// It understands leading inline flags, \b, look-behinds and look-aheads, then one literal or
// one group of literal alternatives, or a letter class (\p{L}, \p{Ll}, \p{Lu}), or a class or
// literal of other characters. A word's match must be known to start after a non-letter: a \b,
// a look-behind that rules out a letter before it, or one that ends in blanks.
#include <string>
#include <string_view>
#include <vector>

class RuleAnchor {
  public:
    enum class Kind { kAnywhere, kAnyWord, kWords, kChars };

    // The anchor of an ICU pattern's source text.
    static RuleAnchor Of(std::u16string_view pattern);

    Kind kind() const { return kind_; }
    const std::vector<std::u16string>& words() const { return words_; }
    const std::u16string& chars() const { return chars_; }
    // For kAnyWord: the match is a word, blanks with at least one that must be there, then the
    // same word again ("(\p{L}+) \1", "(\p{L}+)[ \t]*\r?\n[ \t]*\1", look-aheads between).
    // It can then start only at a letter run whose case-folded letters and those of the next run
    // agree as far as both go.
    bool repeatsWord() const { return repeatsWord_; }
    // For kWords: when not empty, one of these words (case-folded) starts a letter run later in
    // every match, after blanks ("\b(could|should)[ \t]+of" gives of): a text without a run
    // that begins so has no match.
    const std::vector<std::u16string>& laterWords() const { return laterWords_; }
    // For kChars whose chars() are blanks: when not empty, one of these follows the blanks at the
    // match's start in every match ("(?<=\p{Ll})[ \t]+([,;])" gives ",;").
    const std::u16string& laterChars() const { return laterChars_; }
    // For kAnyWord and kWords: the match starts with a lower-case letter (\p{Ll}, with no
    // case-insensitive matching set), so a start at any other letter has no match.
    bool lowerCaseFirst() const { return lowerCaseFirst_; }

    // Case folding as the index of a text's words uses it (full folding: "ß" is "ss").
    static std::u16string Folded(std::u16string_view text);

  private:
    Kind kind_ = Kind::kAnywhere;
    std::vector<std::u16string> words_;
    std::u16string chars_;
    bool repeatsWord_ = false;
    std::vector<std::u16string> laterWords_;
    std::u16string laterChars_;
    bool lowerCaseFirst_ = false;
};
