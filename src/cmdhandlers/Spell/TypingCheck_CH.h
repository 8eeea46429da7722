#pragma once
// Shared part of "spellcheck" and "sc": the "check_and_suggestions" call with the fall-back to
// en_US, and the answering of failures as a normal script answer.
#include <string>

#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "utils/StringMap.h"

class TypingCheck_CH : public CommonSpell_CH {
  protected:
    // Checks "words" in "slang"; when the engine fails critically, records the language and
    // checks once more in "en_US" ("slang" then holds "en_US"). Returns the incorrect/correct
    // answer. A second failure passes on.
    std::string CheckWords(StringMap& map, InternalData& data, bool parenthesisSafe);

    // The callback value when it is empty or a valid name; throws "Invalid callback name."
    // otherwise.
    static std::string CheckedCallback(StringMap& map);

    // Runs `body`; a failure becomes "view" = "{error: true, text: ...}" with "callback" the
    // valid callback value (parenthesis-safe when asked) or "kwirl.call", and "format" = "json".
    // Never throws.
    template <typename Body>
    static void AnswerFailures(StringMap& map, bool parenthesisSafe, Body&& body) {
        try {
            body();
        } catch (...) {
            AnswerFailure(map, parenthesisSafe);
        }
        // Always a call: the answer is the callback's arguments.
        map["left_per"] = "(";
        map["right_per"] = ")";
    }

  private:
    static void AnswerFailure(StringMap& map, bool parenthesisSafe);
};
