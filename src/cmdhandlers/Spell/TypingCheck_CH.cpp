#include "cmdhandlers/Spell/TypingCheck_CH.h"

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CallbackCheck.h"
#include "utils/JsonpCallback.h"
#include "utils/TextEscapes.h"
#include "utils/logging/Logger.h"

namespace {
constexpr int kArgumentCount = 6;
constexpr char kFallbackLanguage[] = "en_US";
constexpr char kDefaultCallback[] = "kwirl.call";
}  // namespace

std::string TypingCheck_CH::CheckWords(StringMap& map, InternalData& data, bool parenthesisSafe) {
    std::string errorLanguage;
    try {
        CommonSpell_CH::apply(map, data, "check_and_suggestions", kArgumentCount, map["words"],
                              "Spell check - failed.");
    } catch (const CommandHandler::criticalException&) {
        errorLanguage = map["slang"];
        map["slang"] = kFallbackLanguage;
        CommonSpell_CH::apply(map, data, "check_and_suggestions", kArgumentCount, map["words"],
                              "Spell check - failed.");
    }
    return IncorrectCorrectAnswer(ParseCheckAndSuggestions(result()),
                                  {map["slang"], errorLanguage, parenthesisSafe});
}

std::string TypingCheck_CH::CheckedCallback(StringMap& map) {
    std::string callback = CallbackValue(map);
    RequireValidCallback(callback);
    return callback;
}

void TypingCheck_CH::AnswerFailure(StringMap& map, bool parenthesisSafe) {
    try {
        throw;
    } catch (const InternalData::ValueNotFound&) {
        map["view"] = ErrorView(kLanguageNotConfigured);
    } catch (const CommandHandler::exception& e) {
        report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
        map["view"] = ErrorView(e.message());
    } catch (...) {
        report_error("*ERROR* SC_CH::apply() - internal error");
        map["view"] = ErrorView(" Internal error.");
    }
    // The clients load these answers as script: a failure before the format was chosen must not
    // leave the error in the XML frame, where neither a script nor an XML parser could read it.
    map["format"] = "json";
    const std::string callback = CallbackValue(map);
    if (callback.empty() || !IsValidJsonpCallback(callback))
        map["callback"] = kDefaultCallback;
    else
        map["callback"] = parenthesisSafe ? ParenthesisEscape(callback) : callback;
}
