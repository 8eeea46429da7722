#pragma once
// The web-service spell check's results as the check_spelling command stores them in
// InternalData and the check_spelling_xml / check_spelling_json placeholders read them.
#include <map>
#include <string>
#include <utility>
#include <vector>

// InternalData key 24: misspelt word -> its suggestions, ordered by the word's bytes.
using CheckSpellingSuggestions = std::map<std::string, std::vector<std::string>>;

// InternalData key 25: every occurrence of a misspelt word in "text", in answer order, with its
// byte position and byte length.
using CheckSpellingOccurrence = std::pair<std::string, std::pair<int, int>>;
using CheckSpellingPositions = std::vector<CheckSpellingOccurrence>;
