#include "text/CHtmlFilter.h"

#include <initializer_list>

#include "text/AttributeSanitizer.h"

namespace {

// Longest name in the tag table ("BLOCKQUOTE"); longer names are unknown tags anyway.
constexpr std::size_t kMaxTagNameLength = 10;
constexpr int kModeEscape = 1;

std::u16string ToUpperAscii(std::u16string in) {
    for (char16_t& c : in)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return in;
}

std::u16string ToLowerAscii(std::u16string in) {
    for (char16_t& c : in)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return in;
}

void AddNames(std::map<std::u16string, CHtmlFilter::TagFlags>& table, CHtmlFilter::TagFlags flags,
              std::initializer_list<const char16_t*> names) {
    for (const char16_t* name : names) table.emplace(name, flags);
}

}  // namespace

const std::map<std::u16string, CHtmlFilter::TagFlags>& CHtmlFilter::TagTable() {
    static const std::map<std::u16string, TagFlags> table = [] {
        std::map<std::u16string, TagFlags> t;
        AddNames(t, {true, true, true}, {u"STYLE"});
        AddNames(t, {true, true, false}, {u"SCRIPT", u"TITLE", u"XML"});
        AddNames(t, {false, true, true},
                 {u"ACRONYM",  u"ADDRESS",  u"APPLET",   u"ABBR",    u"AREA",     u"BLOCKQUOTE",
                  u"BASEFONT", u"BUTTON",   u"BASE",     u"BDO",     u"BR",       u"COLGROUP",
                  u"COMMENT",  u"CAPTION",  u"CENTER",   u"CITE",    u"CODE",     u"COL",
                  u"DEL",      u"DFN",      u"DIR",      u"DIV",     u"DD",       u"DL",
                  u"EMBED",    u"FIELDSET", u"HR",       u"ISINDEX", u"INPUT",    u"IMG",
                  u"KBD",      u"LISTING",  u"LEGEND",   u"LABEL",   u"LINK",     u"LI",
                  u"MARQUEE",  u"MENU",     u"MAP",      u"NOBR",    u"NOFRAMES", u"NOSCRIPT",
                  u"OBJECT",   u"OL",       u"OPTGROUP", u"OPTION",  u"PARAM",    u"PLAINTEXT",
                  u"PRE",      u"P",        u"RT",       u"RUBY",    u"SAMP",     u"SELECT",
                  u"SUB",      u"SUP",      u"TABLE",    u"TBODY",   u"TD",       u"TEXTAREA",
                  u"TFOOT",    u"THEAD",    u"TH",       u"TR",      u"UL",       u"VAR",
                  u"WBR",      u"XMP"});
        AddNames(t, {false, true, false},
                 {u"BODY", u"FRAMESET", u"FRAME", u"FORM", u"HEAD", u"HTML", u"IFRAME", u"META",
                  u"IF", u"ENDIF"});
        AddNames(t, {false, false, true},
                 {u"BIG",   u"B",    u"DT",     u"EM",     u"FONT", u"H1", u"H2",
                  u"H3",    u"H4",   u"H5",     u"H6",     u"INS",  u"I",  u"Q",
                  u"SMALL", u"SPAN", u"STRIKE", u"STRONG", u"S",    u"TT", u"U"});
        AddNames(t, {false, false, false}, {u"A"});
        return t;
    }();
    return table;
}

CHtmlFilter::CHtmlFilter(const FilteringParams& params)
    : CFilter(ElementKind::kTag, u'<', u'>', false, u"htmf", u"html"), mode_(params.mode) {
    for (const auto& name : params.tags.names) tags_.insert(ToUpperAscii(name));
    for (const auto& name : params.attributes.names) attributes_.insert(ToLowerAscii(name));
}

void CHtmlFilter::BeginText() {
    CFilter::BeginText();
    searches_.clear();
    openElements_.clear();
}

bool CHtmlFilter::IsVoidElement(const std::u16string& upperName) {
    static const std::set<std::u16string> kVoid = {
        u"AREA",  u"BASE",    u"BASEFONT", u"BR",   u"COL",  u"EMBED", u"FRAME",  u"HR",    u"IMG",
        u"INPUT", u"ISINDEX", u"KEYGEN",   u"LINK", u"META", u"PARAM", u"SOURCE", u"TRACK", u"WBR"};
    return kVoid.contains(upperName);
}

void CHtmlFilter::TrackNesting(std::u16string_view tag, const std::u16string& upperName,
                               TextElement& element) {
    if (upperName.empty()) return;
    const bool closing = tag.size() > 1 && tag[1] == u'/';
    if (!closing) {
        const bool selfClosing = tag.size() > 2 && tag[tag.size() - 2] == u'/';
        if (!selfClosing && !IsVoidElement(upperName)) ++openElements_[upperName];
        return;
    }
    const auto open = openElements_.find(upperName);
    if (open != openElements_.end() && open->second > 0) {
        --open->second;
        return;
    }
    element.strayClosingTag = true;
    element.keep = false;
}

void CHtmlFilter::MakeTagOnly(std::u16string_view tag, TextElement& element) const {
    element.source.assign(tag);
    element.view.assign(tag);
    element.check.clear();
    element.checkLength = 0;
    element.keep = false;
}

std::size_t CHtmlFilter::FindFrom(const std::u16string& text, const std::u16string& needle,
                                  std::size_t from) {
    auto [it, inserted] = searches_.try_emplace(needle);
    Search& search = it->second;
    const bool reusable = !inserted && search.from <= from &&
                          (search.found == std::u16string::npos || search.found >= from);
    if (!reusable) search = Search{from, text.find(needle, from)};
    return search.found;
}

bool CHtmlFilter::TakeSkippedBlock(const std::u16string& text, std::size_t& position,
                                   std::u16string_view tag, const std::u16string& name,
                                   TextElement& element) {
    const std::size_t tagEnd = position + tag.size() - 1;
    const std::size_t closingTag = FindFrom(text, u"</" + name, tagEnd);
    if (closingTag == std::u16string::npos) return false;
    const std::size_t blockEnd = text.find(u'>', closingTag + 2 + name.size());
    if (blockEnd == std::u16string::npos) return false;
    const std::u16string_view block =
        std::u16string_view(text).substr(position, blockEnd - position + 1);
    if (block.find(tag.substr(0, tag.size() - 1), tag.size()) != std::u16string_view::npos)
        return false;
    element.source.assign(block);
    element.view.assign(block);
    position = blockEnd;
    if (element.keep) ShowBlockSafely(block.substr(tag.size()), name, tag, element);
    return true;
}

void CHtmlFilter::ShowBlockSafely(std::u16string_view rest, const std::u16string& name,
                                  std::u16string_view tag, TextElement& element) const {
    // A browser ends the block at a closing tag in any case; one before ours would let the
    // rest of the block out as live markup.
    const std::u16string closing = u"</" + ToUpperAscii(name);
    const std::u16string upperRest = ToUpperAscii(std::u16string(rest));
    if (upperRest.find(closing) != upperRest.rfind(closing)) {
        element.keep = false;
        return;
    }
    element.view = SanitizeAttributes(std::u16string(tag), attributes_);
    element.view += rest;
}

bool CHtmlFilter::Consume(const std::u16string& text, std::size_t& position, TextElement& element) {
    const std::u16string_view tag = CollectRun(text, position);
    if (tag.empty()) return false;
    const std::u16string name = RunName(tag, kMaxTagNameLength);
    element.kind = ElementKind::kTag;
    const auto& table = TagTable();
    const std::u16string upperName = ToUpperAscii(name);
    const auto entry = table.find(upperName);
    if (entry == table.end()) {
        MakeTagOnly(tag, element);
        TrackNesting(tag, upperName, element);
        position += tag.size() - 1;
        return true;
    }
    const TagFlags flags = entry->second;
    bool keep = flags.keep;
    if (!tags_.empty() && !tags_.contains(entry->first)) {
        if (mode_ == kModeEscape)
            element.kind = ElementKind::kEscapedTag;
        else
            keep = false;
    }
    if (flags.skipContent) {
        element.check = u" ";
        element.checkLength = 1;
        element.keep = keep;
        if (TakeSkippedBlock(text, position, tag, name, element)) return true;
        MakeTagOnly(tag, element);
        TrackNesting(tag, upperName, element);
        position += tag.size() - 1;
        return true;
    }
    element.check = flags.blank ? u" " : u"";
    element.checkLength = static_cast<int>(element.check.size());
    element.source.append(tag);
    element.view = keep ? SanitizeAttributes(std::u16string(tag), attributes_) : element.source;
    element.keep = keep;
    TrackNesting(tag, upperName, element);
    position += tag.size() - 1;
    return true;
}
