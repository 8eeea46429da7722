#include "kernel/ResponseOutput.h"

#include <cstdio>
#include <iostream>

#include "kernel/ContentTypes.h"
#include "kernel/RequestChannel.h"

std::ostream& StandardOutput() {
    if (RequestChannel* channel = RequestChannel::Active()) return channel->Output();
    return std::cout;
}

std::time_t CurrentTime() { return std::time(nullptr); }

std::string HeaderValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) out += c;
    }
    return out;
}

std::string HttpDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // The answers of one second share their date: it is formatted once per second.
    thread_local std::time_t lastWhen = 0;
    thread_local std::string last;
    if (!last.empty() && when == lastWhen) return last;
    std::tm tm{};
    if (gmtime_r(&when, &tm) == nullptr) return {};
    char buf[100];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[tm.tm_wday % 7],
                  tm.tm_mday, kMonths[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                  tm.tm_sec);
    lastWhen = when;
    last = buf;
    return last;
}

std::string CookieValue(std::string_view value, bool encodeHighBytes) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ';' || (encodeHighBytes && byte >= 0x80)) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", byte);
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

std::string PlainTextFailureAnswer(const std::string& message, std::string_view eol) {
    std::string out = "Status: 500";
    out += eol;
    out += std::string("Content-Type: ") + ctype::kPlainText;
    out += eol;
    out += "Content-Length: " + std::to_string(message.size());
    out += eol;
    out += eol;
    return out + message;
}

void WriteAnswer(std::ostream& out, const std::string& bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
}

std::string WriteBuiltAnswer(std::ostream& out, const std::function<std::string()>& build,
                             std::string_view internalError, std::string_view eol) {
    std::string failure;
    try {
        WriteAnswer(out, build());
        return {};
    } catch (const std::exception& e) {
        failure = std::string(internalError) + e.what();
    } catch (...) {
        failure = std::string(internalError);
    }
    WriteAnswer(out, PlainTextFailureAnswer(failure, eol));
    return failure;
}
