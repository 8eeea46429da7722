#pragma once
// Reading the engine's misspelling list ("check_spelling4": items "position,length;" in UTF-16
// code units of the check stream) into a text processor's problems, and choosing the problem
// the dialog starts at. Shared by the dialog spell check and the check-as-you-type commands.
//
// The list comes from outside and is read defensively: items are separated by runs of ";",
// the two numbers of an item by runs of ","; an item that is not two decimal numbers, whose
// length is not positive, or whose range does not end before the check stream's final blank
// is skipped as if it were not there. Never throws.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "kernel/settings/MaxProblems_SS.h"
#include "text/TextProcessor.h"

struct MisspeltRange {
    int position = 0;
    int length = 0;
    bool operator==(const MisspeltRange&) const = default;
};

// The identifier every spelling problem carries (grammar problems carry their rule number).
inline constexpr int kSpellingProblemId = 0;

// The valid items of `list` that start at or after the end of the previous kept item, in list
// order, at most `limit` of them. checkLength is the length of the check stream the positions
// refer to. `more` (when given) tells whether kept items were left out for the limit.
std::vector<MisspeltRange> KeptMisspellings(std::string_view list, int checkLength,
                                            size_t limit = SIZE_MAX, bool* more = nullptr);

// The change position: the decimal value of ":chng_pos:", -1 when it is empty, negative or not
// a number.
int ChangePosition(std::string_view text);

// The index of the first range that starts after changePosition, else changePosition itself.
int ProblemIndex(const std::vector<MisspeltRange>& ranges, int changePosition);

// Adds the kept ranges of `list` to the processor (whose text was sent to the engine) as
// problems, the first maxProblems of them, and returns the problem index for ":chng_pos:" =
// changePositionText. When ranges are left unmarked for the limit, the log says how many were
// marked.
int ScanMisspellings(TextProcessor& processor, std::string_view list,
                     std::string_view changePositionText,
                     size_t maxProblems = MaxProblems_SS::kDefault);
