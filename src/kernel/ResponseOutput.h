#pragma once
// Pieces both programs' response stages use to write a CGI answer (header block and body).
#include <ctime>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

// The program's standard output, on which CGI answers go, or the FastCGI connection of the
// request being served (RequestChannel). POSIX has no text mode: bytes are written as they are.
std::ostream& StandardOutput();

std::time_t CurrentTime();

// A header value with CR, LF and every other control byte (below 0x20, DEL) removed, so that a
// value can never end its header line or hide a second one.
std::string HeaderValue(std::string_view value);

// `when` in UTC as "Fri, 01 Jan 2038 00:00:00 GMT" (English names, independent of the locale).
std::string HttpDate(std::time_t when);

// Cookie values come from the request: control bytes (below 0x20, DEL) and ';' would end the
// cookie or the header, so they become "%" and two upper-case hex digits, as do bytes from 0x80
// when `encodeHighBytes`. Every other byte is kept (the request side URL-decodes cookies).
std::string CookieValue(std::string_view value, bool encodeHighBytes);

// The answer of last resort when a response stage fails before writing: status 500 and
// `message` as plain text. `eol` is the program's header line end.
std::string PlainTextFailureAnswer(const std::string& message, std::string_view eol);

// Writes `bytes` and flushes.
void WriteAnswer(std::ostream& out, const std::string& bytes);

// Writes the answer that `build` makes. When `build` throws, writes the plain-text failure
// answer instead and returns its message (`internalError` followed by the exception's text);
// returns the empty string on success. The caller raises its own exception with the message.
std::string WriteBuiltAnswer(std::ostream& out, const std::function<std::string()>& build,
                             std::string_view internalError, std::string_view eol);
