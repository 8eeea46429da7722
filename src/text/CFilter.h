#pragma once
// Base of the five markup filters that CText runs over a text being loaded.
//
// A filter takes part at a position only while it is enabled and the code unit there is its
// opening character. Consume then tries to read one run from the opening character up to and
// including the first closing character after it: on success it fills the current element and
// leaves the position on the closing character; on failure it changes neither the element nor
// the position.
//
// Switches: a filter with own switch X and group switch G is enabled unless the marker string
// holds "[-X]"; or "[-G]" without "[+X]"; or "[-allf]" with neither "[+G]" nor "[+X]".
//
// Between BeginText and the end of the load, the text given to Consume must be the same string
// and positions must not decrease (filters remember where their closing characters are).
#include <cstddef>
#include <string>
#include <string_view>

#include "text/TextElement.h"

class CFilter {
  public:
    CFilter(ElementKind kind, char16_t opens, char16_t closes, bool mergesRuns,
            std::u16string_view ownSwitch, std::u16string_view groupSwitch);
    virtual ~CFilter() = default;
    CFilter(const CFilter&) = delete;
    CFilter& operator=(const CFilter&) = delete;

    virtual void ReadSwitches(std::u16string_view markers);
    virtual bool Consume(const std::u16string& text, std::size_t& position,
                         TextElement& element) = 0;
    // Forgets what the filter learnt about the previous text.
    virtual void BeginText();
    // Where a run opening at text[position] would end: its first closing character after the
    // position (npos: none). The same rules on the text and the positions as for Consume.
    std::size_t ClosingAfter(const std::u16string& text, std::size_t position) {
        return FindClosing(text, position + 1);
    }

    ElementKind Kind() const { return kind_; }
    char16_t Opens() const { return opens_; }
    char16_t Closes() const { return closes_; }
    bool MergesRuns() const { return mergesRuns_; }
    bool Enabled() const { return enabled_; }

    // Letters and digits count as name characters; every non-ASCII code unit counts as a
    // letter, so that a name holding one never matches the ASCII tables.
    static bool IsNameChar(char16_t c);

  protected:
    // The run opening at text[position]; empty when the text ends before a closing character.
    std::u16string_view CollectRun(const std::u16string& text, std::size_t position);
    // The name characters of the run before its first blank, at most maxLength + 1 of them (a
    // longer name matches no table entry).
    static std::u16string RunName(std::u16string_view run, std::size_t maxLength);

  private:
    std::size_t FindClosing(const std::u16string& text, std::size_t from);

    ElementKind kind_;
    char16_t opens_;
    char16_t closes_;
    bool mergesRuns_;
    bool enabled_ = true;
    std::u16string ownSwitch_;
    std::u16string groupSwitch_;
    // The first closing character at or after searchedFrom_ (npos: none), valid while
    // searchValid_.
    bool searchValid_ = false;
    std::size_t searchedFrom_ = 0;
    std::size_t closingAt_ = 0;
};
