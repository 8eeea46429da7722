#pragma once
// The answer texts of the check-as-you-type commands, as pure functions. Every word,
// suggestion and request value is escaped for the place it lands in (script string, XML text or
// attribute); the answers are completed by the "<#callback#>(<#view#>)" script frame or the XML
// frame.
#include <optional>
#include <string>
#include <string_view>

#include "cmdhandlers/Spell/CheckAndSuggestions.h"
#include "utils/StringMap.h"

// The callback the client asked for: "c" when it is not empty, else "callback".
std::string CallbackValue(StringMap& map);

// The value of a leading decimal number (optionally negative) as "%d" would read it; 0 when
// there is none. Saturates at the int range.
int LeadingDecimal(std::string_view text);

// The call number of a script-transport callback ("...dojoIoScript<n>.<rest>"): the decimal
// number between "dojoIoScript" and the first "." after it. Empty when either is missing.
std::optional<int> DojoCallNumber(std::string_view callback);

// How the incorrect/correct answer writes the language values.
struct LanguageNote {
    std::string slang;          // the language the words were checked in
    std::string errorLanguage;  // the requested one when the check fell back to en_US, else empty
    bool parenthesisSafe = false;  // also turn "(" and ")" into references ("sc")
};

// "{incorrect: [[\"w\",[\"s1\",\"s2\"]],...],correct: [\"c1\",...]" closed by the language note
// (", o: {...}}" or "}").
std::string IncorrectCorrectAnswer(const CheckAndSuggestions& answer, const LanguageNote& note);

// ");kwirl.opt({verLang : <langs_ver>}" when langs_ver is not empty and its number differs
// from that of verlang; else empty.
std::string VersionStatement(std::string_view langsVer, std::string_view verlang);

// The answer to a request without words: "{});kwirl.opt({verLang : <n>}", n = 0 when langs_ver
// is empty.
std::string NoWordsView(std::string_view langsVer);

// "{error: true, text: \"<message>\"}".
std::string ErrorView(std::string_view message);

// The properties block of "sc" ("kwirl.props({ ...}"), or empty when it has no item. Reads
// "init", "product" (presence), "<product prefix>_params" (only from the INI file: its key must
// be in iniKeys), "bnr", "udn", "c_udn", "cust_dic_ids", "c_cust_dic_ids", "uiTags".
std::string PropertiesScript(StringMap& map, const std::vector<std::string>& iniKeys);

// A request value written as a script expression: kept as it is when it is a plain list
// (identifiers, numbers, quoted strings without escapes, ",", ".", "[", "]", blanks), which can
// neither call nor assign; anything else becomes a double-quoted script string.
std::string ScriptListLiteral(std::string_view value);

// "kwirl_suggest": for each comma-separated word of `words` its suggestions (the first `count`,
// at most 15) when the answer lists it as incorrect, else it counts as correct.
//   json: "[['w',['s1','s2']],...],['c1',...]"
//   xml:  "<words><word id=\"w\" suggestions=\"s1,s2\"/>...<correctWords><word id=\"c\"/>...
//          </correctWords></words>"
std::string SuggestAnswer(const CheckAndSuggestions& answer, std::string_view words, int count,
                          bool json);

// "kwirl_add_word": {"words":[{"id":"w"}]} (with "key" when `key` is not empty) or
// "<addword name=\"w\"/>".
std::string AddWordView(std::string_view word, bool json, std::string_view key = {});

// "kwirl_spelltext": "{text:'...'}" or "<text><![CDATA[...]]></text>" around the marked text.
std::string SpellTextView(std::string_view rendered, bool json);

// "kwirl_spell": the words renderer's "words:[...]" as a script object, "{words:[...]}".
std::string ScriptObject(std::string_view members);
