#pragma once
// Helpers shared by the text-model tests.
#include <string>
#include <string_view>

#include "text/CText.h"
#include "text/FilteringParams.h"
#include "text/Utf16Conversion.h"

namespace texttest {

inline std::u16string U(std::string_view utf8) { return Utf8ToUtf16(utf8); }
inline std::string U8(std::u16string_view utf16) { return Utf16ToUtf8(utf16); }

// "kind:source" of every element, joined by "|": "1:a|3:&amp;|1:b|1: ".
inline std::string Describe(const CText& text) {
    std::string out;
    for (const TextElement& element : text.Elements()) {
        if (!out.empty()) out += '|';
        out += std::to_string(static_cast<int>(element.kind)) + ":" + U8(element.source);
    }
    return out;
}

inline FilteringParams Params(std::initializer_list<const char16_t*> tags = {},
                              std::initializer_list<const char16_t*> attributes = {},
                              int mode = 0) {
    FilteringParams params;
    for (auto* tag : tags) params.tags.names.insert(tag);
    for (auto* attribute : attributes) params.attributes.names.insert(attribute);
    params.mode = mode;
    return params;
}

// A model loaded with text (UTF-8).
struct Loaded {
    explicit Loaded(std::string_view utf8, const FilteringParams& params = {},
                    std::u16string markers = {})
        : text(params) {
        text.SetMarkers(std::move(markers));
        text.SetText(U(utf8));
    }
    std::string Check() const { return U8(text.CheckText()); }
    std::string View() {
        text.SetMarkers(u"[_fvw_]");
        return U8(text.Render());
    }
    CText text;
};

}  // namespace texttest
