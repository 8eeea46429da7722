#pragma once
// The single-byte form of an answer body for a request that was reinterpreted from a code page
// (InternalData key 27, InputCodePage): each code point through the code page's table; a code
// point without a byte there gives its own value when at most 255, else 'w'.
#include <string>

std::string Utf8ToInputCodePage(const std::string& utf8, short inputCodePage);
