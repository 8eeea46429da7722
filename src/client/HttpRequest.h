#pragma once
// One HTTP/1.0 POST from the relay to the service host, over libcurl.
//
// The request is the relay's own shape: "POST <absolute URL> HTTP/1.0", then "Host:<authority>"
// (no blank; the URL's host and port, as servers refuse a Host that differs from the URL),
// "Connection: close", "Accept: */*", "User-Agent: ...", "Cookie: ...", "Content-Length: ...", the
// empty line and exactly the body. No proxy from the environment, no redirects, only http and https
// (certificate and host name verified).
//
// Every exchange is bounded: connecting by `connectTimeoutMs`, the whole exchange by
// `timeoutMs`, the answer (header and body) by `maxAnswerBytes`. Post never throws; it reports
// what failed, and the caller turns that into its error answer. Used by the request thread only.
#include <cstddef>
#include <string>

class HttpRequest {
  public:
    static constexpr long kDefaultConnectTimeoutMs = 5000;
    static constexpr long kDefaultTimeoutMs = 30000;
    static constexpr size_t kMaxAnswerBytes = size_t{64} << 20;

    enum class Failure {
        None,
        NoConnection,  // the transfer could not be set up
        UnknownHost,   // the host name does not resolve
        Unavailable,   // no connection (refused, connect time-out, TLS handshake or certificate)
        SendFailed,    // the request could not be sent
        ReceiveFailed  // the answer broke off, timed out, was too large or was not HTTP
    };

    struct Options {
        std::string userAgent = "Unknown";
        std::string cookie;  // the Cookie header's value; empty sends an empty header
        std::string caFile;  // a CA bundle for https; empty: the system's
        long connectTimeoutMs = kDefaultConnectTimeoutMs;
        long timeoutMs = kDefaultTimeoutMs;
        size_t maxAnswerBytes = kMaxAnswerBytes;
    };

    struct Response {
        // The status line and the header lines of the final answer, joined by CR LF, without a
        // CR LF at the end.
        std::string header;
        std::string body;
    };

    struct Result {
        Failure failure = Failure::None;
        std::string detail;  // libcurl's explanation, for the log
    };

    // `port` is decimal text; `debug` is kept for diagnostics only.
    HttpRequest(std::string scheme, std::string host, std::string port, std::string path,
                bool debug);

    // host [":" port, unless it is the scheme's default]
    std::string authority() const;
    // scheme "://" authority path
    std::string url() const;

    Result Post(const std::string& body, const Options& options, Response& response) const;

  private:
    std::string scheme_;
    std::string host_;
    std::string port_;
    std::string path_;
    bool debug_;
};
