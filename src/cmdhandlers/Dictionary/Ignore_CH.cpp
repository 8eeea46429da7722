#include "cmdhandlers/Dictionary/Ignore_CH.h"

#include <charconv>

#include "cmdhandlers/Dictionary/DialogWord.h"
#include "cmdhandlers/Dictionary/IgnoreList.h"
#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "sp_ig", Ignore_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "sp_ig_all", Ignore_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "gr_ig", Ignore_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "gr_ig_all", Ignore_CH);

namespace {

constexpr char kInternalError[] = "IgnoreHandler::apply() - internal error.";

void InsertProblemNumber(StringMap& map) {
    const std::string& text = map["igproblem"];
    long long number = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || rest != end) return;
    map["ignoregr"] = InsertNumber(map["ignoregr"], number);
}

// Records the ignored problem; returns the command that continues the dialog.
std::string Ignore(StringMap& map, const std::string& command, const DialogWord& word) {
    if (command == "sp_ig_all") {
        const std::string& list = map["ignoresp"];
        map["ignoresp"] = list.empty() ? word.text : list + "," + word.text;
        return "spell";
    }
    if (command == "gr_ig_all") {
        InsertProblemNumber(map);
        return "grammar";
    }
    if (command == "gr_ig") {
        map["igposgr"] = InsertNumber(map["igposgr"], word.position);
        return "grammar";
    }
    map["igpossp"] = InsertNumber(map["igpossp"], word.position);
    return "spell";
}

}  // namespace

void Ignore_CH::apply(StringMap& map, InternalData& data) {
    std::string next;
    CommonSpell_CH::RunMapped({"Ignore_CH", kInternalError, __FILE__, __LINE__}, [&] {
        const auto model = std::make_shared<TextProcessor>(
            map[":prse_opt:"], data.Get<FilteringParams>(idkey::FilteringParams));
        model->SetText(map["text"]);
        const DialogWord word = DialogWord::Take(map, *model);
        map[":chng_pos:"] = word.End();
        next = Ignore(map, LowerCommand(map), word);
        // The text stays as it is: the next command may check the model just loaded.
        KeepLoadedText(map, data, next, model);
    });
    RunNextCommand(map, data, next);
}
