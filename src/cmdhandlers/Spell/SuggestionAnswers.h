#pragma once
// Reading the engine's suggestion answers into what the dialog's templates show. Answers come
// from outside: any bytes are accepted and nothing here throws.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the engine sends, in place of a suggestion list, for a misspelt word it has no
// suggestions for.
inline constexpr std::string_view kNoSuggestions = "no_any_suggestions";

// "get_suggestions4": suggestions separated by line feeds -> one comma-separated line; the
// no-suggestions marker gives an empty list.
std::string SuggestList(std::string_view answer);

// "get_all_suggestions4": lines "word:s1,s2,..." separated by runs of CR and LF (runs of ":"
// after the word skipped) -> for each line
//   "\n<input type=hidden name=\"s_" + IdentifierForm(word) + "\" value=\"" +
//   HtmlEscape(suggestions) + "\">"
// The no-suggestions marker gives an empty value. A line without ":" is a word without
// suggestions; a line with an empty word is left out. At most maxWords fields are written
// (one field costs several times the bytes of its word).
std::string SuggestAllFields(std::string_view answer, size_t maxWords = SIZE_MAX);
