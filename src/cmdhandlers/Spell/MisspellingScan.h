#pragma once
// Reading the engine's misspelling list ("check_spelling4": items "position,length;" in UTF-16
// code units of the check stream) into a text processor's problems, and choosing the problem
// the dialog starts at. Shared by the dialog spell check and the check-as-you-type commands.
//
// The list comes from outside and is read defensively: items are separated by runs of ";",
// the two numbers of an item by runs of ","; an item that is not two decimal numbers, whose
// length is not positive, or whose range does not end before the check stream's final blank
// is skipped as if it were not there. Never throws.
#include <string_view>
#include <vector>

#include "utils/text/TextProcessor.h"

struct MisspeltRange {
    int position = 0;
    int length = 0;
    bool operator==(const MisspeltRange&) const = default;
};

// The identifier every spelling problem carries (grammar problems carry their rule number).
inline constexpr int kSpellingProblemId = 0;

// The valid items of `list` that start at or after the end of the previous kept item, in list
// order. checkLength is the length of the check stream the positions refer to.
std::vector<MisspeltRange> KeptMisspellings(std::string_view list, int checkLength);

// The change position: the decimal value of ":chng_pos:", -1 when it is empty, negative or not
// a number.
int ChangePosition(std::string_view text);

// The index of the first range that starts after changePosition, else changePosition itself.
int ProblemIndex(const std::vector<MisspeltRange>& ranges, int changePosition);

// Adds the kept ranges of `list` to the processor (whose text was sent to the engine) as
// problems and returns the problem index for ":chng_pos:" = changePositionText.
int ScanMisspellings(TextProcessor& processor, std::string_view list,
                     std::string_view changePositionText);
