#pragma once
// The dialog's ignore lists of text positions and problem numbers: decimal numbers separated by
// ",", kept ascending. Lists come from the request: entries that are not decimal numbers are
// kept as they are by InsertNumber and dropped by ShiftPositions. Nothing here throws.
#include <string>
#include <string_view>
#include <vector>

// `number` written before the first entry that is not smaller than it (nothing added when that
// entry equals it), or at the end.
std::string InsertNumber(std::string_view list, long long number);

// The positions of `list` after the check-stream range (position, oldLength) was replaced by
// newLength units: positions after the range move by the difference, positions inside it (but
// not at its start) are dropped, the others stay. So ignored words stay ignored.
std::string ShiftPositions(std::string_view list, long long position, long long oldLength,
                           long long newLength);

// The list after a correction at `position` in a dialog that ignores the corrected word: when
// the length changed, ShiftPositions and then InsertNumber(position); else unchanged.
std::string AfterCorrection(std::string_view list, long long position, long long oldLength,
                            long long newLength);

// ShiftPositions and AfterCorrection for the ranges at every position of `positions`
// (ascending, not overlapping) replaced one after another from the last, as "sp_ch_all" does:
// one pass over the list (each corrected position is inserted where InsertNumber would put it).
std::string ShiftPositions(std::string_view list, const std::vector<long long>& positions,
                           long long oldLength, long long newLength);
std::string AfterCorrections(std::string_view list, const std::vector<long long>& positions,
                             long long oldLength, long long newLength);
