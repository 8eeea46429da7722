// Loads arbitrary bytes into the text model and renders them every way the commands do.
// Layout of an input: byte 0 picks the filter switches and white lists, byte 1 how many
// problems to take from the following bytes (position, length pairs), the rest is the text;
// the text doubles as the engine's suggestion answer. Invariants checked: the check stream ends
// with a blank after loading, and matches the elements; rendering never fails but for
// EIncorrectPosition.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/DefaultErrorDecorator.h"
#include "text/EIncorrectPosition.h"
#include "text/FlashErrorDecorator.h"
#include "text/KwrlErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"

namespace {

constexpr std::size_t kMaxProblems = 16;

FilteringParams ParamsFor(uint8_t selector) {
    FilteringParams params;
    if (selector & 0x01) params.tags.names = {u"b", u"P", u"style"};
    if (selector & 0x02) params.attributes.names = {u"id", u"src", u"style"};
    params.mode = (selector & 0x04) ? 1 : 0;
    return params;
}

std::u16string MarkersFor(uint8_t selector) {
    static const char16_t* const kMarkers[] = {u"", u"[-html]", u"[-allf][+ubbf]",
                                               u"[-ampf][-clrf]"};
    return kMarkers[(selector >> 3) & 0x03];
}

// A replacement may take the final blank along; a fresh load always ends with one.
void CheckInvariants(const TextProcessor& processor, bool freshlyLoaded) {
    const std::u16string check = processor.Text().CheckText();
    if (freshlyLoaded && (check.empty() || check.back() != u' ')) std::abort();
    for (const auto& element : processor.Text().Elements())
        if (element.InCheckStream() &&
            check.compare(static_cast<std::size_t>(element.checkStart),
                          static_cast<std::size_t>(element.checkLength), element.check) != 0)
            std::abort();
}

template <typename Render>
void Tolerant(Render render) {
    try {
        render();
    } catch (const EIncorrectPosition&) {
        // a problem outside the check stream fails the request
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t selector = data[0];
    const std::size_t problems = std::min<std::size_t>(data[1], kMaxProblems);
    std::size_t at = 2;
    TextProcessor processor("", ParamsFor(selector));
    for (std::size_t i = 0; i < problems && at + 1 < size; ++i, at += 2)
        processor.AddProblem(data[at], data[at + 1] % 32, static_cast<int>(i));
    const std::string_view text(reinterpret_cast<const char*>(data) + at, size - at);
    processor.Text().SetMarkers(MarkersFor(selector));
    processor.SetText(text);
    CheckInvariants(processor, true);
    (void)processor.GetCheckText();

    DefaultErrorDecorator dialog(u"suggest", 1);
    KwrlErrorDecorator kwrl;
    FlashErrorDecorator flash;
    Tolerant([&] { RenderDecorated(processor, dialog); });
    Tolerant([&] { RenderDecorated(processor, kwrl); });
    Tolerant([&] { RenderDecorated(processor, flash); });
    Tolerant([&] { (void)processor.MakeDialogCall("suggest", 0); });
    const StringMap strings = {{"sug_len", "5"}};
    (void)RenderWordsXml(processor, strings, text);
    (void)RenderWordsJson(processor, strings, text);

    if (!processor.Problems().empty()) {
        const auto& first = processor.Problems().front();
        processor.ReplaceRange(u"x y", first.position, first.length);
        CheckInvariants(processor, false);
    }
    (void)processor.GetText();
    return 0;
}
