#include "cmdhandlers/Thes/TheDBCheckWord_CH.h"

#include <string>

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "cmdhandlers/Spell/MisspellingScan.h"
#include "text/DefaultErrorDecorator.h"
#include "text/TextRenderers.h"
#include "text/Utf16Conversion.h"
#include "utils/InternalDataKeys.h"

namespace {

constexpr char kHandler[] = "TheDBCheckWord_CH";
constexpr char kInternalError[] = "ThesCommandHandler::apply() - internal error.";

std::string CallThesaurus(StringMap& map, const char* function, const std::string& checkText) {
    const std::string& setting = map["thes_host"];
    const std::optional<EngineSession::Target> server =
        setting.empty() ? EngineSession::Configured(map) : EngineSession::FromSetting(setting);
    return CallOrFail(map, server, function, {checkText}, 1,
                      {kHandler, "thes_host", "Thesaurus - failed.", "Thesaurus - failed.",
                       __FILE__, __LINE__})
        .front();
}

}  // namespace

void TheDBCheckWord_CH::apply(StringMap& map, InternalData& data) {
    CommonSpell_CH::RunMapped({kHandler, kInternalError, __FILE__, __LINE__}, [&] {
        // After a correction, the model the correction kept (no second load of the text).
        const std::shared_ptr<TextProcessor> model = LoadedText(map, data);
        TextProcessor& processor = *model;
        const std::string ranges = CallThesaurus(map, Function(), processor.GetCheckText());
        const int problem = ScanMisspellings(processor, ranges, map[":chng_pos:"]);
        map["problemid"] = std::to_string(problem);

        // Checking and scanning leave the loaded model as it was: loading the text again would
        // build the same elements.
        DefaultErrorDecorator decorator(Utf8ToUtf16(DialogCommand()), problem);
        map["view"] = RenderDecorated(processor, decorator);
        map["text"] = processor.GetText();
        map["loaddlg"] = processor.MakeDialogCall(DialogCommand(), problem);
    });
}
