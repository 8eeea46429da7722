#include "cmdhandlers/Info/GetUIStrings_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "cmdhandlers/Info/LanguageList.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "ui_strings", GetUIStrings_CH);

namespace {

constexpr char kInternalError[] = "GetUIStrings_CH::apply() - internal error.";
constexpr int kStringLimit = 200;  // ids from 1 to 199

// A CDATA section holding `text`; a "]]>" inside it is split across two sections so that it
// cannot end the section early.
std::string CData(const std::string& text) {
    std::string out = "<![CDATA[";
    size_t from = 0;
    for (size_t end = text.find("]]>"); end != std::string::npos; end = text.find("]]>", from)) {
        out.append(text, from, end + 2 - from);
        out += "]]><![CDATA[";
        from = end + 2;
    }
    out.append(text, from, std::string::npos);
    return out + "]]>";
}

std::string StringElement(int id, const std::string& text) {
    return "<String id=\"" + std::to_string(id) + "\">" + CData(text) + "</String>";
}

}  // namespace

void GetUIStrings_CH::apply(StringMap& map, InternalData& /*data*/) {
    info::RunReported({"GetUIStrings_CH", kInternalError, __FILE__, __LINE__}, [&] {
        std::string view = "<Strings>";
        int id = 1;
        for (const std::string& code : info::LanguageCodes(map["langs_list"]))
            view += StringElement(id++, map[code]);
        for (; id < kStringLimit; ++id) {
            const auto text = map.find("tx_no" + std::to_string(id));
            if (text != map.end()) view += StringElement(id, text->second);
        }
        map["view"] = view + "</Strings>";
    });
}
