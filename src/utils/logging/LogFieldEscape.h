#pragma once
// Text from outside (request values, headers, engine answers) written into a log line: one line
// per entry, and a reader can tell the text from the escapes and from terminal control.
#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxLogFieldBytes = 4096;

// Backslash becomes "\\", TAB, LF and CR become "\t", "\n", "\r", every other control byte
// (below 0x20 and DEL: ESC, BEL, VT, FF, ...) becomes "\x" and two lower-case hex digits, and so
// does every byte that is not part of well-formed UTF-8 (a raw 0x9B is an 8-bit CSI) and every
// byte of a C1 control, a bidirectional control or U+2028/U+2029 (shown, not acted on). Only
// the first kMaxLogFieldBytes bytes are kept; a longer field ends in "\[+N bytes]" (N the bytes
// left out), which no escaped text can produce.
std::string LogFieldEscape(std::string_view field);
// The same, appended to `out`.
void AppendLogFieldEscaped(std::string_view field, std::string& out);

// The same escapes without the cap, for a whole diagnostic line (whose length the logger bounds).
std::string LogTextEscape(std::string_view text);
void AppendLogTextEscaped(std::string_view text, std::string& out);
