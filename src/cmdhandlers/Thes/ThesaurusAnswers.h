#pragma once
// Reading the answer of "get_syn_list" / "get_ant_list" into the dialog's hidden fields.
// Answers come from outside: any bytes are accepted and nothing here throws.
#include <string>
#include <string_view>

// Lines "category:words" separated by runs of CR and LF (a line without ':' is a category
// without words; a line with an empty category is left out) ->
//   "\n<input type=hidden name=cat_l value=\"" + the categories, "," separated + "\">"
// followed, per category, by
//   "\n<input type=hidden name=\"" + FieldName(category) + "\" value=\"" + words + "\">"
// Every value is HTML-escaped for its attribute.
std::string ThesaurusFields(std::string_view answer);

// The category with every blank, '-' and '.' turned into '_'.
std::string FieldName(std::string_view category);
