// Loads arbitrary bytes into the text model and renders them every way the commands do.
// Layout of an input: byte 0 picks the filter switches and white lists, byte 1 how many
// problems to take from the following bytes (position, length pairs), the rest is the text;
// the text doubles as the engine's suggestion answer. Invariants checked: the check stream ends
// with a blank after loading, and matches the elements and the check length; rendering never
// fails but for EIncorrectPosition; the renderings, the display conversion and the HTML escape
// give what the one-code-unit-at-a-time versions (RenderReference.h) give.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "RenderReference.h"
#include "text/DefaultErrorDecorator.h"
#include "text/EIncorrectPosition.h"
#include "text/FlashErrorDecorator.h"
#include "text/KwrlErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"
#include "text/Utf16Conversion.h"
#include "utils/TextEscapes.h"

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
    if (static_cast<std::size_t>(processor.Text().CheckLength()) != check.size()) std::abort();
    for (const auto& element : processor.Text().Elements())
        if (element.InCheckStream() &&
            check.compare(static_cast<std::size_t>(element.checkStart),
                          static_cast<std::size_t>(element.checkLength), element.check) != 0)
            std::abort();
}

// Every way the model renders, with and without decorations, against the reference.
void CheckRenderings(CText& text, std::string_view bytes) {
    const std::u16string saved = text.MarkerString();
    for (const char16_t* markers : {u"", u"[_fvw_]", u"[_fvw_][_mkp_]", u"[_mkp_][-html]"}) {
        text.SetMarkers(saved + markers);
        for (const auto mode : {CText::PlainText::kAsWritten, CText::PlainText::kHtmlSafe}) {
            const std::u16string rendered = text.Render(mode);
            if (rendered != reference::Render(text, mode)) std::abort();
            if (DisplayConvert(rendered) != reference::DisplayConvert(rendered)) std::abort();
        }
    }
    text.SetMarkers(saved);
    const std::u16string raw = Utf8ToUtf16(bytes);
    if (DisplayConvert(raw) != reference::DisplayConvert(raw)) std::abort();
    if (HtmlEscape(bytes) != reference::HtmlEscape(bytes)) std::abort();
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
    CheckRenderings(processor.Text(), text);
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
