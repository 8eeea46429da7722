#pragma once
// The single-byte form of an answer body for a request that was reinterpreted from a code page
// (InternalData key 27, InputCodePage): each code point through the code page's table; a code
// point without a byte there gives its own value when at most 255, else 'w'.
#include <string>

std::string Utf8ToInputCodePage(const std::string& utf8, short inputCodePage);

// The charset label of the code page that Utf8ToInputCodePage writes ("windows-1250"); empty
// when `inputCodePage` names none.
std::string InputCodePageCharset(short inputCodePage);

// `contentType` with its "charset=UTF-8" (any case) naming `charset` instead.
std::string RelabelContentType(const std::string& contentType, const std::string& charset);

// `body` with the charset it declares of itself naming `charset`: the "utf-8" of every <meta>
// tag's charset (also inside content="...; charset=utf-8") and of the XML declaration's
// encoding. Text elsewhere is left alone.
std::string RelabelDeclaredCharset(const std::string& body, const std::string& charset);
