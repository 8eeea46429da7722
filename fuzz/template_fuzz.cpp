// Parses and renders arbitrary template text with both programs' resolvers. The first byte picks
// the resolver set; the rest is the template. Malformed text must end in PageTemplate::exception,
// never in a crash; a text without "<#" must render to itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "templates/BanSysMetaHandler.h"
#include "templates/CheckSpellingJSONMetaHandler.h"
#include "templates/CheckSpellingXMLMetaHandler.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size == 0) return 0;
    const bool relay = (bytes[0] & 1) != 0;
    const std::string text(reinterpret_cast<const char*>(bytes) + 1, size - 1);

    StringMap map{{"view", "<v>&(\r\n\n)"},
                  {"bnr", "1"},
                  {":banr_dir:", "/nonexistent/bansys."},
                  {"out_type", "positions"}};
    InternalData data;
    data.Insert(idkey::CheckSpellingSuggestions,
                CheckSpellingSuggestions{{"w\"&<", {"s1", "s\\2"}}});
    data.Insert(idkey::CheckSpellingPositions, CheckSpellingPositions{{"w\"&<", {1, 4}}});

    MetaHandlerMap handlers(relay ? &MetaHandlerMap::MakeEscaping : &MetaHandlerMap::MakeDefault);
    if (!relay) {
        handlers.Register("bansys", new BanSysMetaHandler());
        handlers.Register("check_spelling_xml", new CheckSpellingXMLMetaHandler(data));
        handlers.Register("check_spelling_json", new CheckSpellingJSONMetaHandler(data));
    }
    try {
        const std::string out = RenderTemplate(text, handlers, map);
        if (text.find("<#") == std::string::npos && out != text) __builtin_trap();
    } catch (const BytePageTemplate::exception& e) {
        if (e.code < 0 || e.code > 4 || e.position != -1) __builtin_trap();
    }
    return 0;
}
