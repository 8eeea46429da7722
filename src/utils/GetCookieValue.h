#pragma once
// Looks up one cookie in a "Cookie:" header value.
//
// The cookie is the last "name=" that starts a cookie pair (at the start of the header or after
// ";" and optional blanks), so "aud=" or a value holding "ud=" never answers for "ud". Its value
// runs to the next ";" or the end and is URL-decoded once (blanks and quotes are kept as sent).
// Returns `fallback` when the header has no such cookie.
#include <string>
#include <string_view>

std::string GetCookieValue(std::string_view header, std::string_view name,
                           std::string_view fallback);
