#include "cmdhandlers/Info/LangList_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "cmdhandlers/Info/LanguageList.h"
#include "kernel/CommandRegistry.h"
#include "utils/TextEscapes.h"

VERB_REGISTER_COMMAND(Program::Orthd, "get_lang_list", LangList_CH);

namespace {

constexpr char kInternalError[] = "LangList_CH::apply() - internal error.";

// The leading decimal digits of `text` (at most nine), 0 when there are none.
long VersionNumber(const std::string& text) {
    long number = 0;
    for (size_t i = 0; i < text.size() && i < 9 && text[i] >= '0' && text[i] <= '9'; ++i)
        number = number * 10 + (text[i] - '0');
    return number;
}

void Append(std::string& part, const std::string& value) {
    if (!part.empty()) part += ",";
    part += value;
}

}  // namespace

void LangList_CH::apply(StringMap& map, InternalData& /*data*/) {
    info::RunReported({"LangList_CH", kInternalError, __FILE__, __LINE__}, [&] {
        std::string ltr, rtl;
        for (const std::string& marker : info::SectionMarkers(map["langs_list"]))
            Append(marker == "rtl" ? rtl : ltr, ParenthesisEscape(map[marker]));
        map["view"] = "{\"langList\":{\"ltr\": {" + ParenthesisEscape(ltr) + "},\"rtl\": {" +
                      ParenthesisEscape(rtl) +
                      "}},\"verLang\": " + std::to_string(VersionNumber(map["langs_ver"])) + "}";
    });
}
