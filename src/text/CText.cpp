#include "text/CText.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "text/CAmpCharFilter.h"
#include "text/CCodeCharFilter.h"
#include "text/CHtmlFilter.h"
#include "text/CUbbTagFilter.h"
#include "text/ColorFilter.h"
#include "text/EIncorrectPosition.h"
#include "text/WordEncodings.h"

namespace {

constexpr std::u16string_view kFilteredView = u"[_fvw_]";
constexpr std::u16string_view kKeepMarkup = u"[_mkp_]";
constexpr std::u16string_view kHtmlFound = u"[*htmf]";

bool ReadsAsBlank(char16_t unit) {
    return unit == 0x2002 || unit == 0x2003 || unit == 0x2009 || unit == 0x200C || unit == 0x200D;
}

// The blank every loaded text ends with.
void MakeFinalBlank(TextElement& element) {
    element.kind = ElementKind::kPlain;
    element.source = u" ";
    element.check = u" ";
    element.checkLength = 1;
}

bool IsEmptyNew(const TextElement& element) {
    return element.kind == ElementKind::kNew && element.source.empty();
}

bool IsTag(ElementKind kind) {
    return kind == ElementKind::kTag || kind == ElementKind::kEscapedTag;
}

// `htmlInput`: the HTML filter reads the text, so a reference its writer typed stays one.
void AppendHtmlSafe(std::u16string& out, const TextElement& element, bool htmlInput) {
    switch (element.kind) {
        case ElementKind::kNamedRef:
        case ElementKind::kNumericRef:
            AppendHtmlAngleEscape(out, element.source);
            break;
        default:
            if (htmlInput)
                AppendHtmlTextEscapeKeepingReferences(out, element.source);
            else
                AppendHtmlTextEscape(out, element.source);
    }
}

}  // namespace

CText::CText(const FilteringParams& params) {
    filters_.push_back(std::make_unique<CHtmlFilter>(params));
    static_assert(kAmpFilterIndex == 1);
    filters_.push_back(std::make_unique<CAmpCharFilter>());
    filters_.push_back(std::make_unique<CUbbTagFilter>());
    filters_.push_back(std::make_unique<CCodeCharFilter>());
    filters_.push_back(std::make_unique<ColorFilter>());
    SetText(u"");
}

void CText::StartElement() {
    if (IsEmptyNew(elements_.back())) return;
    elements_.emplace_back();
}

void CText::AppendPlain(std::u16string_view run, std::size_t from) {
    if (elements_.back().kind != ElementKind::kPlain) {
        StartElement();
        elements_.back().kind = ElementKind::kPlain;
    }
    TextElement& element = elements_.back();
    if (anyUnreadRun_ && from <= unreadReach_) element.nearUnreadRun = true;
    element.source += run;
    element.check += run;
    element.checkLength = static_cast<int>(element.check.size());
}

std::size_t CText::PlainRunEnd(std::size_t position, const OpenerTable& openers) {
    for (; position < text_.size(); ++position) {
        char16_t& unit = text_[position];
        if (unit < openers.size()) {
            if (openers[unit]) break;
        } else if (ReadsAsBlank(unit)) {
            unit = u' ';
        }
    }
    return position;
}

CText::OpenerTable CText::EnabledOpeners() const {
    OpenerTable openers{};
    for (const auto& filter : filters_)
        if (filter->Enabled()) openers.at(filter->Opens()) = true;
    return openers;
}

void CText::SetText(std::u16string text) {
    text_ = std::move(text);
    elements_.clear();
    nodeArena_.release();  // no node is left to use it
    ForgetHint();
    htmlFound_ = false;
    anyUnreadRun_ = false;
    unreadReach_ = 0;
    unreadRunAtEnd_ = false;
    elements_.emplace_back();
    for (auto& filter : filters_) filter->BeginText();
    const CFilter* htmlFilter = filters_.front().get();
    const OpenerTable openers = EnabledOpeners();
    for (std::size_t position = 0; position < text_.size(); ++position) {
        // Plain text up to the next character a filter opens with is appended as one run.
        if (const std::size_t runEnd = PlainRunEnd(position, openers); runEnd > position) {
            AppendPlain(std::u16string_view(text_).substr(position, runEnd - position), position);
            position = runEnd - 1;
            continue;
        }
        bool consumed = false;
        for (auto& filter : filters_) {
            if (!filter->Enabled() || filter->Opens() != text_[position]) continue;
            const bool startsElement =
                elements_.back().kind != filter->Kind() || !filter->MergesRuns();
            const bool pushed = startsElement && !IsEmptyNew(elements_.back());
            if (startsElement) StartElement();
            std::size_t at = position;
            if (filter->Consume(text_, at, elements_.back())) {
                position = at;
                consumed = true;
                if (filter.get() == htmlFilter) htmlFound_ = true;
                break;
            }
            // A failed filter leaves its element empty; drop it so that the plain text around
            // the opening character stays one element.
            if (pushed) elements_.pop_back();
            const std::size_t reach = filter->ClosingAfter(text_, position);
            unreadRunAtEnd_ = unreadRunAtEnd_ || reach == std::u16string::npos;
            unreadReach_ = anyUnreadRun_ ? std::max(unreadReach_, reach) : reach;
            anyUnreadRun_ = true;
        }
        if (!consumed) AppendPlain(std::u16string_view(text_).substr(position, 1), position);
    }
    StartElement();
    MakeFinalBlank(elements_.back());
    AssignCheckStarts();
    reloadsAlike_ = true;
}

void CText::SetMarkers(std::u16string markers) {
    markers_ = std::move(markers);
    for (auto& filter : filters_) filter->ReadSwitches(markers_);
}

std::u16string CText::GetMarkers() const {
    std::u16string markers = markers_;
    if (htmlFound_) markers += kHtmlFound;
    return markers;
}

std::u16string CText::Render(PlainText plainText) const {
    const bool filteredView = markers_.find(kFilteredView) != std::u16string::npos;
    const bool keepMarkup = markers_.find(kKeepMarkup) != std::u16string::npos;
    const bool htmlInput = filters_.front()->Enabled();
    std::u16string out;
    // Escapes add little to a text: one allocation for the sources, rarely a second.
    std::size_t sourceUnits = 0;
    for (const TextElement& element : elements_) sourceUnits += element.source.size();
    out.reserve(sourceUnits + sourceUnits / 16);
    for (const TextElement& element : elements_) {
        if (IsTag(element.kind)) {
            // In a page, a closing tag that closes nothing of the text would close the page's.
            if (element.strayClosingTag && plainText == PlainText::kHtmlSafe) continue;
            if (!filteredView)
                out += element.source;
            else if (element.keep)
                out += element.kind == ElementKind::kEscapedTag ? EscapedTagText(element.view)
                                                                : element.view;
        } else if (element.kind == ElementKind::kDecoration) {
            if (keepMarkup) out += element.source;
        } else if (plainText == PlainText::kHtmlSafe) {
            AppendHtmlSafe(out, element, htmlInput);
        } else {
            out += element.source;
        }
    }
    return out;
}

void CText::AssignCheckStarts() {
    int offset = 0;
    for (TextElement& element : elements_) {
        if (element.InCheckStream()) {
            element.checkStart = offset;
            offset += element.checkLength;
        } else {
            element.checkStart = offset - 1;
        }
    }
}

CText::ConstIterator CText::FindConst(int position) const {
    if (position < 0) throw EIncorrectPosition();
    auto it = hintValid_ ? hint_ : elements_.cbegin();
    // Lookups come mostly in ascending order near the previous one: walk back from the hint to
    // an element starting at or before the position, then forward.
    while (it != elements_.cbegin() && (!it->InCheckStream() || it->checkStart > position)) --it;
    for (; it != elements_.cend(); ++it) {
        if (!it->InCheckStream()) continue;
        if (it->checkStart > position) break;
        if (it->Holds(position)) {
            hint_ = it;
            hintValid_ = true;
            return it;
        }
    }
    throw EIncorrectPosition();
}

CText::Iterator CText::Find(int position) {
    const ConstIterator found = FindConst(position);
    return elements_.erase(found, found);  // the mutable iterator of the same element
}

CText::Iterator CText::SplitAt(Iterator element, int position) {
    // Only plain text is split: the other elements with more than one check unit (a numeric
    // reference to a character beyond U+FFFF) stay whole and are marked from their start.
    if (position <= element->checkStart || element->kind != ElementKind::kPlain) return element;
    const auto offset = static_cast<std::size_t>(position - element->checkStart);
    TextElement second;
    second.kind = ElementKind::kPlain;
    second.check = element->check.substr(offset);
    second.source = second.check;
    second.checkStart = position;
    second.checkLength = static_cast<int>(second.check.size());
    second.rewritten = element->rewritten;
    // Plain text has its source equal to its check text: both are cut in place, so the first
    // part costs no copy.
    element->check.resize(offset);
    element->source.resize(offset);
    element->checkLength = static_cast<int>(offset);
    return elements_.insert(std::next(element), std::move(second));
}

void CText::InsertDecoration(int at, std::u16string markup) {
    Iterator before = SplitAt(Find(at), at);
    // Decorating backwards, the decorations already at this point belong to later ranges (or,
    // for an empty range, are its own closing text): the new one goes in front of them.
    if (decorationOrder_ == DecorationOrder::kBeforeExisting)
        while (before != elements_.begin() && std::prev(before)->kind == ElementKind::kDecoration)
            --before;
    TextElement decoration;
    decoration.kind = ElementKind::kDecoration;
    decoration.source = std::move(markup);
    decoration.checkLength = 0;
    decoration.checkStart = at - 1;
    elements_.insert(before, std::move(decoration));
}

void CText::Decorate(int position, std::u16string opening, int endPosition,
                     std::u16string closing) {
    if (endPosition < position) throw EIncorrectPosition();
    reloadsAlike_ = false;
    Find(endPosition);
    if (decorationOrder_ == DecorationOrder::kBeforeExisting) {
        InsertDecoration(endPosition, std::move(closing));
        InsertDecoration(position, std::move(opening));
    } else {
        InsertDecoration(position, std::move(opening));
        InsertDecoration(endPosition, std::move(closing));
    }
}

void CText::RemoveDecorations() {
    reloadsAlike_ = false;  // the splits around the decorations stay
    elements_.remove_if(
        [](const TextElement& element) { return element.kind == ElementKind::kDecoration; });
}

std::u16string CText::CheckText() const {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(CheckLength()));
    for (const TextElement& element : elements_)
        if (element.InCheckStream()) out += element.check;
    return out;
}

int CText::CheckLength() const {
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it)
        if (it->InCheckStream()) return it->checkStart + it->checkLength;
    return 0;
}

std::u16string CText::Word(int position, int length) const {
    if (length < 0) throw EIncorrectPosition();
    auto it = FindConst(position);
    const auto wanted = static_cast<std::size_t>(length);
    std::u16string word;
    auto offset = static_cast<std::size_t>(position - it->checkStart);
    for (; word.size() < wanted; ++it) {
        if (it == elements_.cend()) throw EIncorrectPosition();
        if (!it->InCheckStream()) continue;
        word.append(it->check, offset, wanted - word.size());
        offset = 0;
    }
    return word;
}

bool CText::ReplaceRange(std::u16string_view text, int position, int length) {
    if (length < 0 || static_cast<long long>(position) + length - 1 > INT_MAX) return false;
    Iterator first;
    Iterator last;
    try {
        first = Find(position);
        last = length == 0 ? first : Find(position + length - 1);
    } catch (const EIncorrectPosition&) {
        return false;
    }
    // Inside one plain element, the replacement keeps every other element as it was loaded.
    const bool inOnePlainElement =
        first == last && first->kind == ElementKind::kPlain && std::next(first) != elements_.end();
    MergeRange(first, last, text, position, length);
    WriteRewritten();
    AssignCheckStarts();
    ForgetHint();
    reloadsAlike_ = reloadsAlike_ && inOnePlainElement && ReadsBackAlike(*first);
    return true;
}

bool CText::ReadsBackAlike(const TextElement& element) const {
    // A character no filter opens or closes with cannot start or end a run, and one that
    // escaping keeps is written as it is: the element reads back as itself, unless a run that
    // could not be read reached into it (its reading depends on the characters here).
    constexpr std::u16string_view kMarkupCharacters = u"<>&;[]#";
    const auto readsAsItself = [&](char16_t unit) {
        return kMarkupCharacters.find(unit) == std::u16string_view::npos && !ReadsAsBlank(unit) &&
               !(unit >= 0xD800 && unit <= 0xDFFF);
    };
    return !element.nearUnreadRun && !element.check.empty() && element.source == element.check &&
           std::all_of(element.check.begin(), element.check.end(), readsAsItself);
}

bool CText::LoadOwnSource() {
    // The final blank becomes text: a run that found no closing character before the end might
    // find one in it.
    if (!reloadsAlike_ || unreadRunAtEnd_) return false;
    const Iterator finalBlank = std::prev(elements_.end());
    if (finalBlank != elements_.begin() && std::prev(finalBlank)->kind == ElementKind::kPlain) {
        TextElement& before = *std::prev(finalBlank);
        before.source += u' ';
        before.check += u' ';
        before.checkLength = static_cast<int>(before.check.size());
    } else {
        elements_.emplace_back();  // the old final blank stays as a run of plain text
    }
    MakeFinalBlank(elements_.back());
    AssignCheckStarts();
    ForgetHint();
    return true;
}

int CText::ReplaceRanges(std::u16string_view text, const std::vector<int>& positions, int length) {
    if (length <= 0) return 0;
    reloadsAlike_ = false;
    int replaced = 0;
    long long limit = LLONG_MAX;  // the start of the range replaced last
    // From the last range to the first, the check starts before the range being replaced are
    // never stale, lookups walk back from the previous one, and each cut copies only the text
    // up to the range replaced before: linear in all.
    for (auto at = positions.rbegin(); at != positions.rend(); ++at) {
        const int position = *at;
        const long long end = static_cast<long long>(position) + length;
        if (position < 0 || end > limit || end - 1 > INT_MAX) continue;
        try {
            Find(static_cast<int>(end - 1));
        } catch (const EIncorrectPosition&) {
            continue;
        }
        if (end <= INT_MAX) CutAt(static_cast<int>(end));
        CutAt(position);
        const Iterator first = Find(position);
        MergeRange(first, Find(static_cast<int>(end - 1)), text, position, length);
        hint_ = first;
        hintValid_ = true;
        limit = position;
        ++replaced;
    }
    WriteRewritten();
    AssignCheckStarts();
    ForgetHint();
    return replaced;
}

void CText::CutAt(int position) {
    Iterator element;
    try {
        element = Find(position);
    } catch (const EIncorrectPosition&) {
        return;
    }
    if (position <= element->checkStart || element->kind != ElementKind::kPlain) return;
    element->rewritten = true;
    SplitAt(element, position);
}

void CText::MergeRange(Iterator first, Iterator last, std::u16string_view text, int position,
                       int length) {
    // Markup of the range, with the check position it stood at.
    std::vector<std::pair<int, TextElement>> markup;
    std::u16string merged = first->check;
    const Iterator following = std::next(last);
    for (Iterator next = std::next(first); next != following;) {
        if (next->InCheckStream())
            merged += next->check;
        else
            markup.emplace_back(next->checkStart + 1, std::move(*next));
        next = elements_.erase(next);
    }
    merged.replace(static_cast<std::size_t>(position - first->checkStart),
                   static_cast<std::size_t>(length), text);
    first->kind = ElementKind::kPlain;
    first->check = std::move(merged);
    first->source = first->check;  // plain text until WriteRewritten
    first->rewritten = true;
    first->view.clear();
    first->checkLength = static_cast<int>(first->check.size());
    const int mergedStart = first->checkStart;
    const int mergedEnd = mergedStart + first->checkLength;
    const auto inside = [&](int at) {
        return first->InCheckStream() && at > mergedStart && at < mergedEnd;
    };
    for (auto& [at, element] : markup)
        if (!inside(at)) elements_.insert(following, std::move(element));
    // Markup inside goes back to its place, from the last: each split copies a short tail.
    for (auto it = markup.rbegin(); it != markup.rend(); ++it) {
        if (!inside(it->first)) continue;
        const bool cut = it->first < first->checkStart + first->checkLength;
        const Iterator before = cut ? SplitAt(first, it->first) : std::next(first);
        elements_.insert(before, std::move(it->second));
    }
}

void CText::WriteRewritten() {
    // Where references are read, the merged text may hold characters that came from them
    // ("&lt;") or that the user typed: written as they are, they would read back as markup or
    // as other characters on the next load.
    const bool escape = ReferencesAreRead();
    for (TextElement& element : elements_) {
        if (!element.rewritten) continue;
        element.source = escape ? HtmlTextEscape(element.check) : element.check;
        element.rewritten = false;
    }
}

bool CText::ReferencesAreRead() const { return filters_[kAmpFilterIndex]->Enabled(); }

std::u16string CText::SourceText() const {
    std::size_t units = 0;
    for (const TextElement& element : elements_)
        if (element.kind != ElementKind::kDecoration) units += element.source.size();
    std::u16string out;
    out.reserve(units);
    for (const TextElement& element : elements_)
        if (element.kind != ElementKind::kDecoration) out += element.source;
    return out;
}
