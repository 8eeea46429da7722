#pragma once
// The rule for the callback name a script answer (JSONP) writes in front of "(".
#include <cstddef>
#include <string_view>

inline constexpr std::size_t kMaxJsonpCallbackLength = 128;

// True when `name` is at most 128 bytes and a dotted path of ASCII JavaScript identifiers, each
// optionally followed by numeric indexes ("kwirl.call", "a.b_c.$d", "cb[3]", "x[0][12].y").
// Anything else (operators, parentheses, comments, quotes, blanks, non-ASCII) is refused, so the
// name cannot run script of its own.
bool IsValidJsonpCallback(std::string_view name);

// The message of the error answer to a callback name the rule refuses.
inline constexpr char kInvalidJsonpCallback[] = "Invalid callback name.";
