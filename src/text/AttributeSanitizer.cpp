#include "text/AttributeSanitizer.h"

#include <algorithm>
#include <string_view>

namespace {

using AttributeTest = bool (*)(std::u16string_view name, std::u16string_view value);

bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80;
}
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool StartsName(char16_t c) { return IsLetter(c) || c == u':' || c == u'_'; }
bool ContinuesName(char16_t c) {
    return IsLetter(c) || IsDigit(c) || c == u'-' || c == u'.' || c == u'_';
}

std::u16string ToLowerAscii(std::u16string_view in) {
    std::u16string out(in);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

bool IsEventHandler(std::u16string_view name, std::u16string_view) {
    return name.starts_with(u"on");
}

bool IsUnsafeSource(std::u16string_view name, std::u16string_view value) {
    return name == u"src" && !value.starts_with(u"http:") && !value.starts_with(u"https:");
}

bool IsUnsafeStyle(std::u16string_view name, std::u16string_view value) {
    if (name != u"style") return false;
    if (value.find(u"&#x28;") != std::u16string_view::npos ||
        value.find(u"&#40;") != std::u16string_view::npos ||
        value.find(u'(') != std::u16string_view::npos)
        return true;
    bool colonSinceSemicolon = false;
    for (char16_t c : value) {
        if (c == u':') {
            if (colonSinceSemicolon) return true;
            colonSinceSemicolon = true;
        } else if (c == u';') {
            colonSinceSemicolon = false;
        }
    }
    return false;
}

// Browsers separate attributes by any ASCII white space, not just blanks.
bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

std::size_t SkipBlanks(const std::u16string& tag, std::size_t at) {
    while (at < tag.size() && IsSpace(tag[at])) ++at;
    return at;
}

// Reads the value after the attribute name ending at nameEnd; returns the end of the
// attribute (past the closing quote, if any). unclosed tells of a quoted value without its
// closing quote, which a browser would run on into the markup after the tag.
std::size_t ReadValue(const std::u16string& tag, std::size_t nameEnd, std::u16string& value,
                      bool& unclosed) {
    std::size_t at = SkipBlanks(tag, nameEnd);
    if (at >= tag.size() || tag[at] != u'=') return nameEnd;
    at = SkipBlanks(tag, at + 1);
    if (at < tag.size() && (tag[at] == u'"' || tag[at] == u'\'')) {
        const std::size_t start = at + 1;
        const std::size_t quote = tag.find(tag[at], start);
        if (quote != std::u16string::npos) {
            value = tag.substr(start, quote - start);
            return quote + 1;
        }
        const std::size_t end = std::min(tag.find(u'>', start), tag.size());
        value = tag.substr(start, end - start);
        unclosed = true;
        return end;
    }
    std::size_t end = at;
    while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != u'>' && tag[end] != u'/') ++end;
    value = tag.substr(at, end - at);
    return end;
}

// Where the attributes of the tag begin: past the tag's name.
std::size_t AttributesStart(const std::u16string& tag) {
    std::size_t at = 0;
    while (at < tag.size() && !StartsName(tag[at])) ++at;
    while (at < tag.size() && ContinuesName(tag[at])) ++at;
    return at;
}

void RunPass(std::u16string& tag, const std::set<std::u16string>& allowed, AttributeTest test) {
    std::size_t at = AttributesStart(tag);
    while (at < tag.size()) {
        while (at + 1 < tag.size() && !StartsName(tag[at])) ++at;
        const std::size_t nameStart = at;
        while (at < tag.size() && ContinuesName(tag[at])) ++at;
        if (at == nameStart) {
            ++at;
            continue;
        }
        const std::u16string name =
            ToLowerAscii(std::u16string_view(tag).substr(nameStart, at - nameStart));
        std::u16string value;
        bool unclosed = false;
        const std::size_t end = ReadValue(tag, at, value, unclosed);
        value = ToLowerAscii(value);
        const bool outsideList = !allowed.empty() && !allowed.contains(name);
        if (outsideList || unclosed || (test != nullptr && test(name, value))) {
            tag.erase(nameStart, end - nameStart);
            at = nameStart;
        } else {
            at = end;
        }
    }
}

}  // namespace

std::u16string SanitizeAttributes(std::u16string tag,
                                  const std::set<std::u16string>& allowedAttributes) {
    // Most tags have no attribute: nothing after the name starts one, so no pass removes any.
    if (std::none_of(tag.begin() + static_cast<std::ptrdiff_t>(AttributesStart(tag)), tag.end(),
                     StartsName))
        return tag;
    RunPass(tag, allowedAttributes, allowedAttributes.empty() ? IsEventHandler : nullptr);
    RunPass(tag, allowedAttributes, IsUnsafeSource);
    RunPass(tag, allowedAttributes, IsUnsafeStyle);
    return tag;
}
