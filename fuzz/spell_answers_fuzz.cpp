// Feeds arbitrary bytes as the engine's spelling answers: the misspelling list (read into a
// loaded text, then rendered and turned into the dialog start script, as the dialog spell check
// does) and the two suggestion answers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cmdhandlers/Spell/MisspellingScan.h"
#include "cmdhandlers/Spell/SuggestionAnswers.h"
#include "text/DefaultErrorDecorator.h"
#include "text/TextRenderers.h"

namespace {
constexpr std::string_view kText = "Teh <b>quik</b> &amp; brwon fox, don't jmup!\r\nOvr the dog.";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    SuggestList(answer);
    SuggestAllFields(answer);

    const size_t split = answer.find('|');
    const std::string_view list = answer.substr(0, split);
    const std::string_view changePosition =
        split == std::string_view::npos ? std::string_view() : answer.substr(split + 1);
    TextProcessor processor("", FilteringParams{});
    processor.SetText(kText);
    const int problem = ScanMisspellings(processor, list, changePosition);
    processor.SetText(kText);
    DefaultErrorDecorator decorator(u"suggest", problem);
    RenderDecorated(processor, decorator);
    processor.MakeDialogCall("suggest", problem);
    return 0;
}
