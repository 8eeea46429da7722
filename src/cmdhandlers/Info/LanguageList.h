#pragma once
// The language codes of the "langs_list" setting: white-space separated codes; text in square
// brackets marks a section and is no language ("[superset]", "[usual]", "[rtl]").
#include <string>
#include <string_view>
#include <vector>

namespace info {

// The codes in list order. A "[" skips everything up to and including the next "]" (to the end
// when there is none); printable non-blank bytes extend a code; any other byte ends it.
std::vector<std::string> LanguageCodes(std::string_view list);

// The names of the bracketed section markers in list order, without brackets.
std::vector<std::string> SectionMarkers(std::string_view list);

// Whether `code` occurs as a whole code within the section of `list` that starts after the
// marker `from` and ends at the marker `to` (or the end of the list when `to` is absent). False
// when `from` is absent or `code` is empty.
bool OccursBetween(std::string_view list, std::string_view code, std::string_view from,
                   std::string_view to);

}  // namespace info
