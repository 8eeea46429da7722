#pragma once
// A minimal HTTP/1.0 client for loopback tests: one request per connection, read to the close.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct HttpResponse {
    int status = 0;                              // 0 when no answer could be read
    std::map<std::string, std::string> headers;  // names lower-cased; the last value wins
    std::string setCookies;                      // every Set-Cookie value, joined by "\n"
    std::string body;
};

HttpResponse HttpRequest(unsigned short port, const std::string& method, const std::string& target,
                         const std::string& body = "",
                         const std::map<std::string, std::string>& headers = {});

// Percent-encodes `value` for a query string or a form body.
std::string UrlEncode(const std::string& value);

// "name=value&..." with every value percent-encoded.
std::string FormEncode(const std::vector<std::pair<std::string, std::string>>& fields);

}  // namespace testsupport
