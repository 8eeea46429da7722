#include "wire/WireAnswer.h"

#include "wire/WireEscape.h"

namespace wire {
namespace {

constexpr std::string_view kStatusAndLength = "HTTP/1.0 200 OK\r\nContent-length: ";
constexpr std::string_view kLineEnd = "\r\n";

std::string WrapContent(std::string_view content) {
    std::string message;
    message.reserve(kStatusAndLength.size() + content.size() + 24);
    message += kStatusAndLength;
    message += std::to_string(content.size());
    message += "\r\n\r\n";
    message += content;
    return message;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::string BuildOkAnswer(const std::vector<std::string>& results) {
    std::string content;
    size_t estimate = kOkToken.size() + 2;
    for (const auto& r : results) estimate += r.size() + 2;
    content.reserve(estimate);
    content += kOkToken;
    content += kLineEnd;
    for (const auto& r : results) {
        AppendEscapedLine(content, r);
        content += kLineEnd;
    }
    return WrapContent(content);
}

std::string BuildErrorAnswer(std::string_view message) {
    std::string content;
    content.reserve(kErrorToken.size() + 2 + message.size());
    content += kErrorToken;
    content += kLineEnd;
    for (char c : message) content += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return WrapContent(content);
}

ClassifiedAnswer ClassifyAnswer(std::string_view content) {
    ClassifiedAnswer answer;
    const size_t lf = content.find('\n');
    const std::string_view first = TrimLineEnd(content.substr(0, lf));
    if (lf != std::string_view::npos) answer.rest = content.substr(lf + 1);
    if (EqualsNoCase(first, kOkToken))
        answer.kind = AnswerKind::kOk;
    else if (EqualsNoCase(first, kErrorToken))
        answer.kind = AnswerKind::kError;
    return answer;
}

int DecodeResults(std::string_view text, size_t expected, std::vector<std::string>& results) {
    results.clear();
    if (expected == 0) return text.empty() ? kDecodeOk : kDecodeExtraText;
    size_t pos = 0;
    std::string decoded;
    while (results.size() < expected) {
        if (pos == text.size()) {
            const bool lastMissing = results.size() + 1 == expected;
            if (lastMissing && (text.empty() || text.back() == '\n')) {
                results.emplace_back();
                break;
            }
            results.clear();
            return kDecodeMissingResult;
        }
        const size_t lf = text.find('\n', pos);
        const size_t end = lf == std::string_view::npos ? text.size() : lf;
        if (!UnescapeLine(TrimLineEnd(text.substr(pos, end - pos)), decoded)) {
            results.clear();
            return kDecodeBadEscape;
        }
        results.push_back(std::move(decoded));
        decoded = std::string();
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    if (pos < text.size()) {
        results.clear();
        return kDecodeExtraText;
    }
    return kDecodeOk;
}

}  // namespace wire
