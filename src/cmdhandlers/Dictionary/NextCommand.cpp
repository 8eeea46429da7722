#include "cmdhandlers/Dictionary/NextCommand.h"

#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

void RunNextCommand(StringMap& map, InternalData& data, const std::string& command) {
    map["cmd"] = command;
    const CommandRegistry::Factory factory = CommandRegistry::Of(Program::Orthd).Resolve(command);
    if (factory == nullptr) return;
    CommandHandlerRef handler(factory());
    handler->apply(map, data);
}

bool TakesLoadedText(const std::string& command) {
    return command == "grammar" || command == "spell" || command == "thes";
}

void KeepChangedText(const StringMap& map, InternalData& data, const std::string& next,
                     std::shared_ptr<TextProcessor> model) {
    // A model nobody takes would only hold memory while the next command loads its own.
    if (!TakesLoadedText(next) || !model->LoadOwnText()) return;
    KeepLoadedText(map, data, next, std::move(model));
}

void KeepLoadedText(const StringMap& map, InternalData& data, const std::string& next,
                    std::shared_ptr<TextProcessor> model) {
    const auto text = map.find("text");
    if (!TakesLoadedText(next) || text == map.end()) return;
    data.Set(idkey::ChangedText, ChangedText{std::move(model), text->second});
}

std::shared_ptr<TextProcessor> LoadedText(StringMap& map, InternalData& data) {
    ChangedText kept;
    if (data.Find(idkey::ChangedText)) {
        kept = std::move(data.Get<ChangedText>(idkey::ChangedText));
        data.Erase(idkey::ChangedText);
    }
    if (kept.model != nullptr && kept.text == map["text"]) return kept.model;
    auto model = std::make_shared<TextProcessor>(map[":prse_opt:"],
                                                 data.Get<FilteringParams>(idkey::FilteringParams));
    model->SetText(map["text"]);
    return model;
}
