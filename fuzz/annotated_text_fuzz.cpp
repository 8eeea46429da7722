// Feeds arbitrary bytes to the JSON API's "data" parser (the annotated text of /v2/check) and
// maps every range of the resulting plain text back: a refusal is an ApiFailure, and a mapped
// range always lies inside the original text's bounds and keeps its order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cmdhandlers/JsonApi/AnnotatedText.h"
#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "text/Utf16Conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const AnnotatedText text = AnnotatedText::FromData(bytes);
        const size_t units = Utf8ToUtf16(text.plain()).size();
        size_t previous = 0;
        for (size_t offset = 0; offset <= units && offset < 4096; ++offset) {
            const auto [start, length] = text.Original(offset, units - offset);
            if (start < previous || length > size * 2 + 2) std::abort();
            previous = start;
        }
    } catch (const ApiFailure&) {
    }
    return 0;
}
