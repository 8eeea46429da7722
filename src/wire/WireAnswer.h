#pragma once
// Answers of the engine-server protocol.
//
// Wire form (what the server sends and the client reads):
//   "HTTP/1.0 200 OK\r\nContent-length: <content bytes>\r\n\r\n" <content>
// Content of a successful call: the OK token "VerbarOK", CR LF, then one escaped line
// (WireEscape.h) per result, each ended by CR LF. Content of a failed call: the error token
// "VerbarError", CR LF, then a one-line message without line end.
// The client looks only at the content: the status line is not examined.
// Pure functions, thread-safe.
#include <string>
#include <string_view>
#include <vector>

namespace wire {

constexpr std::string_view kOkToken = "VerbarOK";
constexpr std::string_view kErrorToken = "VerbarError";

// Result codes of DecodeResults (the client reports a nonzero one as its decode error code).
constexpr int kDecodeOk = 0;
constexpr int kDecodeExtraText = 1;       // text remains after the expected results
constexpr int kDecodeMissingResult = -1;  // the text ends before the expected results
constexpr int kDecodeBadEscape = -2;      // a result line holds a malformed escape

// The whole answer message for a successful call with `results`.
std::string BuildOkAnswer(const std::vector<std::string>& results);

// The whole answer message for a failed call. CR, LF and other control bytes of `message`
// become blanks, so the message stays on one line.
std::string BuildErrorAnswer(std::string_view message);

enum class AnswerKind {
    kOk,       // first line is the OK token (any case)
    kError,    // first line is the error token (any case)
    kUnknown,  // anything else
};

struct ClassifiedAnswer {
    AnswerKind kind = AnswerKind::kUnknown;
    // The content after the first line's LF (empty when there is no LF): the result lines
    // for kOk, the message (verbatim) for kError. Points into the classified content.
    std::string_view rest;
};

// Looks at the first line of `content`, without its trailing CR and LF, and compares it with
// the two tokens without regard to case and for equal length.
ClassifiedAnswer ClassifyAnswer(std::string_view content);

// Decodes `text` (the content after the OK line) into exactly `expected` results, replacing
// `results`. Lines end at LF; trailing CRs are dropped; each line is unescaped. When the text
// ends after expected-1 results and is empty or ends with LF, the last result is empty.
// Returns kDecodeOk, or another code with `results` emptied.
int DecodeResults(std::string_view text, size_t expected, std::vector<std::string>& results);

}  // namespace wire
