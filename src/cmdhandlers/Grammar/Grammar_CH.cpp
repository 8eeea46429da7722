#include "cmdhandlers/Grammar/Grammar_CH.h"

#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Grammar/GrammarAnswers.h"
#include "cmdhandlers/Grammar/GrammarCall.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "kernel/settings/MaxProblems_SS.h"
#include "text/DefaultErrorDecorator.h"
#include "text/TextRenderers.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

VERB_REGISTER_COMMAND(Program::Orthd, "grammar", Grammar_CH);

namespace {
constexpr char kInternalError[] = "GrammarCommandHandler::apply() - internal error.";
constexpr char kCheckFailed[] = "Check grammar - failed.";
constexpr char kDialogCommand[] = "suggram";
constexpr char kNoCurrentProblem[] = "-1";
}  // namespace

void Grammar_CH::apply(StringMap& map, InternalData& data) {
    CommonSpell_CH::RunMapped({"Grammar_CH", kInternalError, __FILE__, __LINE__}, [&] {
        const std::shared_ptr<TextProcessor> model = LoadedText(map, data);
        TextProcessor& processor = *model;
        const std::string checkText = processor.GetCheckText();
        const std::vector<std::string> results =
            CallCheckGrammar(map, data, checkText, kNoCurrentProblem,
                             {"Grammar_CH", "", kCheckFailed, kCheckFailed, __FILE__, __LINE__});
        const auto checkLength = static_cast<int>(processor.Text().CheckText().size());
        std::vector<MisspeltRange> ranges;
        const size_t maxProblems = MaxProblems_SS::Of(map);
        for (const GrammarRange& found : GrammarRanges(results[2], results[3], checkLength)) {
            if (ranges.size() == maxProblems) {
                GetLogger().Log(loglevel::Warning, 0,
                                "*WARNING* marked the first %zu grammar problems only; the rest "
                                "of the text is left unmarked (max_problems)",
                                maxProblems);
                break;
            }
            processor.AddProblem(found.range.position, found.range.length, found.problemNumber);
            ranges.push_back(found.range);
        }
        const int problem = ProblemIndex(ranges, ChangePosition(map[":chng_pos:"]));
        map["problemid"] = std::to_string(problem);

        // The model is still the text as loaded: the problems were only recorded beside it.
        DefaultErrorDecorator decorator(u"suggram", problem);
        map["view"] = RenderDecorated(processor, decorator);
        map["text"] = processor.GetText();
        map["loaddlg"] = processor.MakeDialogCall(kDialogCommand, problem);
    });
}
