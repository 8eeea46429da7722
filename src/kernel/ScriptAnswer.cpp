#include "kernel/ScriptAnswer.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr char kEol[] = "\r\n";
constexpr char kGzipSuffix[] = "-gz\"";
constexpr int kGzipWindowBits = 15 + 16;  // zlib: 32 KB window, gzip header and trailer
constexpr int kGzipMemLevel = 8;

std::string_view Trimmed(std::string_view s) {
    const size_t start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    return s.substr(start, s.find_last_not_of(" \t") - start + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Calls `each` with every comma-separated item of a header value, trimmed.
template <typename Each>
bool AnyItem(std::string_view list, Each each) {
    while (!list.empty()) {
        const size_t comma = list.find(',');
        if (each(Trimmed(list.substr(0, comma)))) return true;
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return false;
}

std::string GzipTag(const std::string& etag) {
    return etag.substr(0, etag.size() - 1) + kGzipSuffix;
}

}  // namespace

ScriptAnswer::ScriptAnswer(const std::string& body, std::string_view ifNoneMatch,
                           std::string_view acceptEncoding)
    : etag_(ETagOf(body)), gzip_(AcceptsGzip(acceptEncoding)) {
    notModified_ = Matches(ifNoneMatch, etag_) || Matches(ifNoneMatch, GzipTag(etag_));
    if (!notModified_) body_ = gzip_ ? Gzip(body) : body;
}

std::string ScriptAnswer::HeaderLines() const {
    std::string out;
    if (notModified_) out += std::string("Status: 304 Not Modified") + kEol;
    out += "ETag: " + (gzip_ ? GzipTag(etag_) : etag_) + kEol;
    out += "Cache-Control: max-age=" + std::to_string(kMaxAgeSeconds) + kEol;
    out += std::string("Vary: Accept-Encoding") + kEol;
    if (gzip_ && !notModified_) out += std::string("Content-Encoding: gzip") + kEol;
    return out;
}

// FNV-1a over the bytes, with the length: stable across processes and builds.
std::string ScriptAnswer::ETagOf(const std::string& body) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : body) hash = (hash ^ c) * 1099511628211ull;
    char text[48];
    std::snprintf(text, sizeof text, "\"%016llx-%zx\"", static_cast<unsigned long long>(hash),
                  body.size());
    return text;
}

bool ScriptAnswer::AcceptsGzip(std::string_view acceptEncoding) {
    return AnyItem(acceptEncoding, [](std::string_view item) {
        const size_t semicolon = item.find(';');
        if (!EqualsIgnoringCase(Trimmed(item.substr(0, semicolon)), "gzip")) return false;
        if (semicolon == std::string_view::npos) return true;
        const std::string_view q = Trimmed(item.substr(semicolon + 1));
        return !(q.size() >= 3 && q.substr(0, 2) == "q=" &&
                 q.substr(2).find_first_not_of("0.") == std::string_view::npos);
    });
}

bool ScriptAnswer::Matches(std::string_view ifNoneMatch, std::string_view etag) {
    return AnyItem(ifNoneMatch, [etag](std::string_view item) {
        if (item == "*") return true;
        if (item.substr(0, 2) == "W/") item.remove_prefix(2);
        return item == etag;
    });
}

std::string ScriptAnswer::Gzip(const std::string& body) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kGzipMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("gzip: deflateInit2 failed");
    std::string out(deflateBound(&stream, body.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const size_t written = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("gzip: deflate failed");
    out.resize(written);
    return out;
}
