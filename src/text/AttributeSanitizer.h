#pragma once
// The filtered view of a kept tag: its attributes cleaned in three passes over the tag text.
// Every pass erases attributes outside the attribute white list (lower-case names; an empty
// list is not applied) and those its own test picks:
//   1. with an empty white list, event handlers (names beginning with "on");
//   2. "src" whose value begins with neither "http:" nor "https:";
//   3. "style" whose value holds "(", "&#40;" or "&#x28;", or two ":" with no ";" between.
// An attribute is erased from its name to the end of its value (closing quote included). A
// quoted value without its closing quote is always erased: the browser would read the markup
// after the tag as part of it. Attributes are separated by any ASCII white space. Names and
// values are compared in lower case (ASCII); non-ASCII code units count as letters.
#include <set>
#include <string>

std::u16string SanitizeAttributes(std::u16string tag,
                                  const std::set<std::u16string>& allowedAttributes);
