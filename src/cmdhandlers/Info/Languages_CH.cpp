#include "cmdhandlers/Info/Languages_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "cmdhandlers/Info/LanguageList.h"
#include "kernel/CommandRegistry.h"
#include "utils/TextEscapes.h"

VERB_REGISTER_COMMAND(Program::Orthd, "languages", Languages_CH);

namespace {

constexpr char kInternalError[] = "Languages_CH::apply() - internal error.";

bool IsCodeByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

// Whether `code` stands in `text` as a whole code, not as part of a longer one ("he" is not in
// "he_IL"). The "rtl" value may be a plain list of codes or a section of quoted code-name pairs.
bool ContainsCode(const std::string& text, const std::string& code) {
    for (size_t at = text.find(code); at != std::string::npos; at = text.find(code, at + 1)) {
        const size_t end = at + code.size();
        if ((at == 0 || !IsCodeByte(text[at - 1])) &&
            (end == text.size() || !IsCodeByte(text[end])))
            return true;
    }
    return false;
}

}  // namespace

void Languages_CH::apply(StringMap& map, InternalData& /*data*/) {
    info::RunReported({"Languages_CH", kInternalError, __FILE__, __LINE__}, [&] {
        const std::string slang = map["slang"];
        const std::string intlang = map["intlang"];
        const std::string rtl = map["rtl"];
        std::string view = "<Languages>";
        int index = 0;
        for (const std::string& code : info::LanguageCodes(map["langs_list"])) {
            view += "<Language index=\"" + std::to_string(++index) + "\"";
            if (code == slang) view += " slang=\"1\"";
            if (code == intlang) view += " intlang=\"1\"";
            view += ContainsCode(rtl, code) ? " rtl=\"1\"" : " rtl=\"0\"";
            view += "><Abbrev>" + XmlTextEscape(code) + "</Abbrev></Language>";
        }
        map["view"] = view + "</Languages>";
    });
}
