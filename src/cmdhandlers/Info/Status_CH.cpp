#include "cmdhandlers/Info/Status_CH.h"

#include <array>

#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

VERB_REGISTER_COMMAND(Program::Orthd, "status", Status_CH);

namespace {

struct Stage {
    int group;  // 1 spelling, 2 grammar, 3 thesaurus
    const char* command;
    const char* inputKey;
    const char* input;
    const char* outputKey;       // emptied before the stage, checked after it
    bool outputDiffersFromText;  // else: passes when the output is not empty
};

// The thesaurus probe asks for a word the shipped English thesaurus knows ("study"), so that a
// healthy service passes.
constexpr std::array<Stage, 7> kStages = {{
    {1, "spell", "text", "test text texxt", "view", true},
    {1, "suggest", "word", "texxt", "suggestlist", false},
    {1, "spellsuggestall", "text", "test text texxt", "spellsuggestall", false},
    {2, "grammar", "text", "as as as as", "view", true},
    {2, "suggram", "text", "as as as as", "suggestlist", false},
    {3, "thes", "text", "of studying", "view", true},
    {3, "getthes", "word", "study", "synlist", false},
}};
constexpr int kGroups = 3;

bool RunStage(const Stage& stage, StringMap& map, InternalData& data) {
    map["osp"] = "0001";
    map["slang"] = "en_US";
    map["problemid"] = "0";
    map[stage.inputKey] = stage.input;
    map[stage.outputKey] = "";
    try {
        const CommandRegistry::Factory factory =
            CommandRegistry::Of(Program::Orthd).Resolve(stage.command);
        if (!factory) return false;
        const CommandHandlerRef handler(factory());
        handler->apply(map, data);
    } catch (...) {
        if (stage.outputDiffersFromText) map[stage.outputKey] = map["text"];
        return false;
    }
    const std::string& output = map[stage.outputKey];
    return stage.outputDiffersFromText ? output != map["text"] : !output.empty();
}

}  // namespace

void Status_CH::apply(StringMap& map, InternalData& data) {
    std::array<bool, kGroups + 1> groupPassed;
    groupPassed.fill(true);
    for (const Stage& stage : kStages) {
        const bool passed = RunStage(stage, map, data);
        if (passed)
            report_error("Status self-check: Stage '%s' passed.", stage.command);
        else
            report_error("Status self-check: Error on stage '%s'", stage.command);
        groupPassed[stage.group] = groupPassed[stage.group] && passed;
    }
    std::string status;
    bool allPassed = true;
    for (int group = 1; group <= kGroups; ++group) {
        status += groupPassed[group] ? "OK" : "ERROR";
        if (group < kGroups) status += ",";
        allPassed = allPassed && groupPassed[group];
    }
    map["status"] = status;
    if (!allPassed) data.Set(idkey::HttpStatus, std::string("503 Service Unavailable"));
}
