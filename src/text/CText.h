#pragma once
// The text model: a text split into typed elements (TextElement.h) by the markup filter chain
// CHtmlFilter, CAmpCharFilter, CUbbTagFilter, CCodeCharFilter, ColorFilter (in that order).
//
// The check stream is the concatenation of the check texts of the elements whose check length
// is above 0; it always ends with one blank (SetText appends a final blank element). Every
// position and length here counts UTF-16 code units of the check stream.
//
// Markers (SetMarkers) steer the filters (see CFilter.h) and the rendering: "[_fvw_]" renders
// the filtered view, "[_mkp_]" includes decorations. GetMarkers adds "[*htmf]" when the HTML
// filter consumed anything of the last text.
//
// Not thread-safe; one model per command. Copying is disabled (the model keeps list positions).
#include <array>
#include <list>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "text/CFilter.h"
#include "text/FilteringParams.h"
#include "text/TextElement.h"

class CText {
  public:
    // How Render writes the characters of elements that are not markup.
    enum class PlainText {
        kAsWritten,  // the sources as they are
        kHtmlSafe,   // so that no text can become markup: '<', '>' and '&' of plain text, forum
                     // tags and colour codes as references; '<' and '>' of character references
                     // as references (their own '&' keeps its meaning)
    };

    explicit CText(const FilteringParams& params);
    CText(const CText&) = delete;
    CText& operator=(const CText&) = delete;

    // Replaces the whole model by the elements of text. U+2002, U+2003, U+2009, U+200C and
    // U+200D met between runs read (and are given back) as a blank.
    void SetText(std::u16string text);

    void SetMarkers(std::u16string markers);
    std::u16string GetMarkers() const;
    // The marker string as set, without "[*htmf]".
    const std::u16string& MarkerString() const { return markers_; }

    // With "[_fvw_]": a tag contributes nothing when hidden, else its view (escaped as text for
    // kind 9); every other element its source. Decorations only with "[_mkp_]".
    std::u16string Render(PlainText plainText = PlainText::kAsWritten) const;

    // Where Decorate puts its markup among the decorations already at the same point.
    enum class DecorationOrder {
        kAfterExisting,   // for ranges decorated from the first to the last
        kBeforeExisting,  // for ranges decorated from the last to the first
    };

    // Inserts opening before the check position and closing before endPosition (kind 8,
    // check length 0), splitting plain-text elements there. Both positions are checked before
    // anything changes: EIncorrectPosition when either lies in no element or end < position.
    // Decorating non-overlapping ranges from the last to the first (with kBeforeExisting)
    // gives the same elements as from the first to the last, and costs time linear in the
    // text: each split then copies only the short part after the point.
    void Decorate(int position, std::u16string opening, int endPosition, std::u16string closing);
    void SetDecorationOrder(DecorationOrder order) { decorationOrder_ = order; }
    DecorationOrder GetDecorationOrder() const { return decorationOrder_; }
    void RemoveDecorations();

    std::u16string CheckText() const;
    // The length of the check stream (CheckText().size(), without building it).
    int CheckLength() const;
    // The check-stream substring; EIncorrectPosition when it does not lie in the stream.
    std::u16string Word(int position, int length) const;
    // Replaces the range by text; the markup inside the range is kept. Returns false, changing
    // nothing, when the first or the last position of the range lies in no element.
    bool ReplaceRange(std::u16string_view text, int position, int length);
    // Replaces the ranges (position, length) at `positions` (ascending) by text, as ReplaceRange
    // would one after another from the last to the first, in time linear in the text. A range
    // that overlaps the one after it or lies outside the stream is left alone. Returns the
    // number of ranges replaced; length must be above 0 (else nothing is replaced).
    int ReplaceRanges(std::u16string_view text, const std::vector<int>& positions, int length);
    // The sources of all elements but decorations: the text as loaded (plus the final blank).
    std::u16string SourceText() const;
    // Makes the model the one SetText(SourceText()) would give, without reading the text again,
    // where that is sure: after a load, or after ReplaceRange calls each of which stayed inside
    // one plain element that no unread run reached into and left it holding only characters
    // that no filter opens or closes with, that escaping keeps and that read as themselves.
    // Returns false, changing nothing, otherwise (load the text then). Linear in the elements.
    bool LoadOwnSource();

    using ElementList = std::pmr::list<TextElement>;
    const ElementList& Elements() const { return elements_; }
    bool HtmlFound() const { return htmlFound_; }

  private:
    static constexpr std::size_t kAmpFilterIndex = 1;  // the filter of character references

    using Iterator = ElementList::iterator;
    using ConstIterator = ElementList::const_iterator;

    // Which ASCII code units open a run of an enabled filter (every filter opens with one).
    using OpenerTable = std::array<bool, 128>;

    void StartElement();
    // `from`: where the run starts in the text being loaded.
    void AppendPlain(std::u16string_view run, std::size_t from);
    // Whether a replacement inside plain text leaves `element` as a load would give it.
    bool ReadsBackAlike(const TextElement& element) const;
    OpenerTable EnabledOpeners() const;
    // The end of the plain text from `position`: the first code unit that opens a run of an
    // enabled filter, or the text's end. The code units that read as a blank become one on the
    // way, as the load would have made them one by one.
    std::size_t PlainRunEnd(std::size_t position, const OpenerTable& openers);
    void AssignCheckStarts();
    ConstIterator FindConst(int position) const;
    Iterator Find(int position);
    Iterator SplitAt(Iterator element, int position);
    void InsertDecoration(int at, std::u16string markup);
    // The replacement shared by ReplaceRange and ReplaceRanges: leaves the check starts after
    // the range stale and the sources of the rewritten elements unwritten (WriteRewritten).
    void MergeRange(Iterator first, Iterator last, std::u16string_view text, int position,
                    int length);
    // Splits the plain element holding `position` there when the range before it touches it.
    void CutAt(int position);
    void WriteRewritten();
    void ForgetHint() const { hintValid_ = false; }
    bool ReferencesAreRead() const;

    std::vector<std::unique_ptr<CFilter>> filters_;
    // The elements' nodes come from an arena of their own (declared first: it outlives the
    // list): a text of a few MiB makes hundreds of thousands of them, and one heap call each for
    // the load and again for the release was a large part of the load's cost. Nodes erased by
    // replacements stay in the arena until the next load (linear in the work done).
    std::pmr::monotonic_buffer_resource nodeArena_;
    ElementList elements_{&nodeArena_};
    std::u16string text_;
    std::u16string markers_;
    bool htmlFound_ = false;
    // While loading: how far the runs that no filter could read reached (unreadReach_, valid
    // once anyUnreadRun_), and whether one found no closing character before the text's end.
    bool anyUnreadRun_ = false;
    std::size_t unreadReach_ = 0;
    bool unreadRunAtEnd_ = false;
    // Whether the model is still what loading its own sources would give (LoadOwnSource).
    bool reloadsAlike_ = false;
    DecorationOrder decorationOrder_ = DecorationOrder::kAfterExisting;
    // Last element found: lookups in ascending order start there.
    mutable ConstIterator hint_;
    mutable bool hintValid_ = false;
};
