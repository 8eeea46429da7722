#pragma once
// The dialog's correction commands continue with a check command in the same request.
#include <memory>
#include <string>

#include "text/FilteringParams.h"
#include "text/TextProcessor.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

// The model a correction hands to the next command: `model` holds `text` as a load would give
// it (TextProcessor::LoadOwnText), so the next command need not read the text again.
struct ChangedText {
    std::shared_ptr<TextProcessor> model;
    std::string text;
};

// Sets "cmd" to `command` and runs the handler the registry gives for it (its own, else that of
// "alternate", else that of "default"; none: nothing runs) with the same stores. What the
// handler throws passes on.
void RunNextCommand(StringMap& map, InternalData& data, const std::string& command);

// Whether `command` takes its text model through LoadedText.
bool TakesLoadedText(const std::string& command);

// Keeps `model` (which holds the text now in "text" after a change) for the next command when
// that command takes it and the model can stand for loading that text again.
void KeepChangedText(const StringMap& map, InternalData& data, const std::string& next,
                     std::shared_ptr<TextProcessor> model);

// Keeps `model`, loaded from "text" as it stands, for the next command when that command takes
// it.
void KeepLoadedText(const StringMap& map, InternalData& data, const std::string& next,
                    std::shared_ptr<TextProcessor> model);

// A model of "text": the one a correction kept for this command when it holds that very text
// (taken from `data`), else a new one with the text loaded.
std::shared_ptr<TextProcessor> LoadedText(StringMap& map, InternalData& data);
