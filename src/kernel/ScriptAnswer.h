#pragma once
// The answer to a "script" command that found its file (the browser clients, their styles and
// texts): the browser may keep it for kMaxAgeSeconds and then asks again with the answer's ETag;
// an unchanged file is answered "304 Not Modified" without a body. A browser that accepts gzip
// gets the body compressed.
//
// The ETag is derived from the uncompressed body, so it is the same for every process serving
// the same files (CGI, FastCGI workers) and changes with the file; the compressed form has its
// own ETag (suffix "-gz"), as a different representation. Both are accepted in If-None-Match.
#include <string>
#include <string_view>

class ScriptAnswer {
  public:
    static constexpr int kMaxAgeSeconds = 3600;

    // `ifNoneMatch` and `acceptEncoding` are the request's header values (empty when absent).
    ScriptAnswer(const std::string& body, std::string_view ifNoneMatch,
                 std::string_view acceptEncoding);

    bool NotModified() const { return notModified_; }
    // "Status: 304 ..." when not modified; then ETag, Cache-Control, Vary and, when
    // compressed, Content-Encoding lines, each ending in CR LF.
    std::string HeaderLines() const;
    // The body as sent: compressed or not; empty when not modified.
    const std::string& Body() const { return body_; }

    // A strong ETag of `body`, quoted.
    static std::string ETagOf(const std::string& body);
    // Whether an Accept-Encoding value accepts gzip (a q=0 refuses it).
    static bool AcceptsGzip(std::string_view acceptEncoding);
    // Whether an If-None-Match value names `etag` (or is "*"); weak tags compare by value.
    static bool Matches(std::string_view ifNoneMatch, std::string_view etag);
    // `body` in the gzip format; throws std::runtime_error when zlib fails.
    static std::string Gzip(const std::string& body);

  private:
    std::string etag_;
    bool gzip_ = false;
    bool notModified_ = false;
    std::string body_;
};
