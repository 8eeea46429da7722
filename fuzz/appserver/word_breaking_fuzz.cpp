// The spelling path's word breaking on arbitrary bytes: the UTF-8 words (ASCII stretches broken
// without ICU) must equal the words of the UTF-16 form broken by ICU, for the bytes as given
// when they are UTF-8 and for the same bytes folded to ASCII; malformed UTF-8 must be refused
// by both forms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/EngineError.h"
#include "spell/WordTokenizer.h"

namespace {

void ExpectSameWords(const std::string& text) {
    std::u16string wide;
    try {
        wide = WordTokenizer::ToUtf16(text);
    } catch (const EngineError&) {
        try {
            WordTokenizer::Words(text, WordTokenizer::Links::kMark);
        } catch (const EngineError&) {
            return;
        }
        std::abort();  // malformed text accepted
    }
    const auto expected = WordTokenizer::Words(wide);
    const auto words = WordTokenizer::Words(text, WordTokenizer::Links::kMark);
    if (words.size() != expected.size()) std::abort();
    for (size_t i = 0; i < words.size(); ++i)
        if (words[i].pos != expected[i].pos || words[i].len != expected[i].len ||
            words[i].utf8 != WordTokenizer::ToUtf8(std::u16string_view(wide).substr(
                                 expected[i].pos, expected[i].len)) ||
            words[i].inLink != expected[i].inLink)
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    ExpectSameWords(text);
    for (char& c : text) c = static_cast<char>(c & 0x7F);
    ExpectSameWords(text);
    return 0;
}
