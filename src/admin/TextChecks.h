#pragma once
// Checks on text crossing the library's interface, which is UTF-8 (the system's 8-bit code page
// on Linux).
#include <string>
#include <string_view>

namespace vdirkit {

// True for well-formed UTF-8 (no overlong forms, surrogates or code points above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Key names, directives and section names compare this way.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// `text` with every control character replaced by '?', fit for one line of a terminal or a
// configuration comment.
std::string WithoutControlCharacters(std::string_view text);

}  // namespace vdirkit
