#pragma once
// HTML tags and skipped blocks: kind 2 (or 9 for a tag outside the tag white list in escape
// mode), opens "<", closes ">", does not merge runs; switches htmf / html.
//
// A tag whose upper-case name is not in the tag table stays in the text but is hidden from the
// filtered view and adds nothing to the check stream. A known tag adds one blank to the check
// stream when it separates words; it shows in the filtered view when its keep flag is set and
// the tag white list (compared in upper case; empty = not applied) allows it - in mode 0 a tag
// outside the list is hidden, in mode 1 it is shown escaped. Shown tags have their attributes
// sanitised (AttributeSanitizer.h). SCRIPT, STYLE, TITLE and XML open a block that runs to the
// first closing tag spelt in the opening tag's case; the whole block is one element that reads
// as one blank. Without such a closing tag, or with the same opening tag nested inside, the
// opening tag alone is an element that adds nothing to the check stream and is hidden. A shown
// block (STYLE) has its opening tag sanitised, and is hidden when a closing tag in another
// case comes before its own (the browser would end the block there). A closing tag that closes
// no element opened earlier in the text is left out of HTML renderings
// (TextElement::strayClosingTag).
#include <cstddef>
#include <map>
#include <set>
#include <string>

#include "text/CFilter.h"
#include "text/FilteringParams.h"

class CHtmlFilter : public CFilter {
  public:
    struct TagFlags {
        bool skipContent = false;
        bool blank = false;
        bool keep = false;
    };

    explicit CHtmlFilter(const FilteringParams& params);
    bool Consume(const std::u16string& text, std::size_t& position, TextElement& element) override;
    void BeginText() override;

    // Upper-case name -> flags (104 names).
    static const std::map<std::u16string, TagFlags>& TagTable();

  private:
    struct Search {
        std::size_t from = 0;
        std::size_t found = 0;
    };

    void MakeTagOnly(std::u16string_view tag, TextElement& element) const;
    // Counts the elements a tag opens; marks a closing tag that closes none opened within the
    // text as stray (TextElement::strayClosingTag).
    void TrackNesting(std::u16string_view tag, const std::u16string& upperName,
                      TextElement& element);
    static bool IsVoidElement(const std::u16string& upperName);
    void ShowBlockSafely(std::u16string_view rest, const std::u16string& name,
                         std::u16string_view tag, TextElement& element) const;
    bool TakeSkippedBlock(const std::u16string& text, std::size_t& position,
                          std::u16string_view tag, const std::u16string& name,
                          TextElement& element);
    std::size_t FindFrom(const std::u16string& text, const std::u16string& needle,
                         std::size_t from);

    std::set<std::u16string> tags_;        // upper case
    std::set<std::u16string> attributes_;  // lower case
    int mode_;
    // Where each closing-tag needle was last found; positions only grow during a load.
    std::map<std::u16string, Search> searches_;
    // Elements opened so far in the text and not yet closed, by upper-case name.
    std::map<std::u16string, int> openElements_;
};
