#pragma once
// A minimal client of the engine-server protocol for tests, on the shared wire code.
#include <string>
#include <vector>

namespace apptest {

struct CallResult {
    enum Kind { kOk, kError, kUnknown, kNoAnswer } kind = kNoAnswer;
    std::string message;               // kError: the server's message
    std::vector<std::string> results;  // kOk
    int decodeCode = 0;                // kOk: the result decoder's code
};

// One call on a fresh connection: frames the request, reads the answer until the server closes.
CallResult Call(int port, const std::string& function, const std::vector<std::string>& params,
                size_t expectedResults = 1);

// The six spelling parameters (language, no custom ids, options, text, ignored words, user
// dictionaries); `positions` adds the seventh when not null.
std::vector<std::string> SpellParams(const std::string& language, const std::string& text,
                                     const std::string& options = "00011",
                                     const std::string& ignored = "",
                                     const std::string& userDictionaries = "",
                                     const char* positions = nullptr);

// Sends raw bytes (optionally leaving the connection open without sending anything more) and
// returns everything the server sent until it closed, or until `timeoutMs` passed.
std::string Raw(int port, const std::string& bytes, int timeoutMs = 20000);

// The content of an answer message (after its header block); empty when there is none.
std::string ContentOf(const std::string& answer);

}  // namespace apptest
