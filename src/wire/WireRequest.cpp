#include "wire/WireRequest.h"

#include "wire/WireEscape.h"

namespace wire {
namespace {

constexpr std::string_view kRequestHead =
    "GET /x.100 HTTP/1.0\r\nAccept: text/html\r\nAccept: image/Verbar\r\n"
    "Content-type: image/Verbar\r\nContent-length: ";

}  // namespace

std::string BuildRequestBody(std::string_view function, const std::vector<std::string>& params) {
    std::string body;
    size_t estimate = function.size() + 2;
    for (const auto& p : params) estimate += p.size() + p.size() / 4 + 2;
    body.reserve(estimate);
    AppendEscapedLine(body, function);
    body += "\r\n";
    for (const auto& p : params) {
        AppendEscapedLine(body, p);
        body += "\r\n";
    }
    return body;
}

std::string BuildRequestMessage(std::string_view body) {
    std::string message;
    message.reserve(kRequestHead.size() + body.size() + 64);
    message += kRequestHead;
    message += std::to_string(body.size());
    message += "\r\nOptions: ";
    message += kRequestOptions;
    message += "\r\n\r\n";
    message += body;
    return message;
}

RequestParseResult ParseRequestBody(std::string_view body) {
    RequestParseResult result;
    if (body.empty()) {
        result.error = RequestParseError::kEmptyBody;
        return result;
    }
    std::string decoded;
    size_t start = 0;
    size_t index = 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        const size_t next = end == std::string_view::npos ? body.size() : end + 1;
        if (end == std::string_view::npos) end = body.size();
        if (end > start && body[end - 1] == '\r') --end;
        if (!UnescapeLine(body.substr(start, end - start), decoded)) {
            result.error = RequestParseError::kBadEscape;
            result.badLine = index;
            return result;
        }
        if (index == 0)
            result.call.function = std::move(decoded);
        else
            result.call.params.push_back(std::move(decoded));
        decoded = std::string();
        start = next;
        ++index;
    }
    if (result.call.function.empty()) result.error = RequestParseError::kEmptyFunction;
    return result;
}

}  // namespace wire
