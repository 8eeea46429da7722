#pragma once
// A minimal FastCGI client for loopback tests: one responder request per connection, with the
// given parameters and body; returns everything the application wrote to its standard output.
#include <map>
#include <string>

namespace testsupport {

struct FastCgiResult {
    bool completed = false;  // an end-request record arrived
    std::string output;      // the application's standard output (header block and body)
    std::string errors;      // its standard error stream
};

// `timeoutMs`: the longest silence while the answer is read.
FastCgiResult FastCgiRequest(unsigned short port, const std::map<std::string, std::string>& params,
                             const std::string& body = "", int timeoutMs = 30000);

}  // namespace testsupport
