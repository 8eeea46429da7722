#include "cmdhandlers/JsonApi/AnnotatedText.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "text/Utf16Conversion.h"

namespace {

using nlohmann::json;

[[noreturn]] void Refuse(const std::string& why) {
    throw ApiFailure(ApiFailure::kBadRequest, "Invalid 'data' parameter: " + why);
}

// The deepest nesting of arrays and objects, strings skipped; stops counting past `limit`.
int NestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size() && deepest <= limit; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

size_t Units(const std::string& utf8) { return Utf8ToUtf16(utf8).size(); }

std::string StringMember(const json& item, const char* name) {
    const auto found = item.find(name);
    if (found == item.end() || found->is_null()) return {};
    if (!found->is_string()) Refuse(std::string("\"") + name + "\" must be a string");
    return found->get<std::string>();
}

}  // namespace

AnnotatedText AnnotatedText::FromText(std::string text) {
    AnnotatedText out;
    out.Add(text, Units(text), false);
    return out;
}

AnnotatedText AnnotatedText::FromData(std::string_view data) {
    if (NestingDepth(data, kMaxDepth) > kMaxDepth) Refuse("nested too deeply");
    const json parsed = json::parse(data, nullptr, false);
    if (parsed.is_discarded()) Refuse("not JSON");
    if (!parsed.is_object() || !parsed.contains("annotation") || !parsed["annotation"].is_array())
        Refuse("expected {\"annotation\": [...]}");
    AnnotatedText out;
    for (const json& item : parsed["annotation"]) {
        if (!item.is_object()) Refuse("every annotation must be an object");
        if (item.contains("text")) {
            out.Add(StringMember(item, "text"), Units(StringMember(item, "text")), false);
        } else if (item.contains("markup")) {
            out.Add(StringMember(item, "interpretAs"), Units(StringMember(item, "markup")), true);
        } else {
            Refuse("every annotation needs \"text\" or \"markup\"");
        }
    }
    return out;
}

void AnnotatedText::Add(const std::string& checked, size_t originalLength, bool markup) {
    const size_t units = Units(checked);
    parts_.push_back({plainUnits_, units, originalUnits_, originalLength, markup});
    plain_ += checked;
    plainUnits_ += units;
    originalUnits_ += originalLength;
}

size_t AnnotatedText::MapStart(size_t offset) const {
    // The last part that starts at or before `offset` and is not an empty one ending there.
    auto part = std::upper_bound(parts_.begin(), parts_.end(), offset,
                                 [](size_t at, const Part& p) { return at < p.plainStart; });
    if (part == parts_.begin()) return 0;
    --part;
    while (part != parts_.begin() && part->plainLength == 0) --part;
    if (part->markup) return part->originalStart;
    return part->originalStart + std::min(offset - part->plainStart, part->originalLength);
}

size_t AnnotatedText::MapEnd(size_t offset) const {
    // The first part that ends at or after `offset`.
    auto part = std::lower_bound(
        parts_.begin(), parts_.end(), offset,
        [](const Part& p, size_t at) { return p.plainStart + p.plainLength < at; });
    if (part == parts_.end()) return originalUnits_;
    if (part->markup) return part->originalStart + part->originalLength;
    return part->originalStart + std::min(offset - part->plainStart, part->originalLength);
}

std::pair<size_t, size_t> AnnotatedText::Original(size_t offset, size_t length) const {
    const size_t start = MapStart(offset);
    const size_t end = std::max(start, MapEnd(offset + length));
    return {start, end - start};
}
