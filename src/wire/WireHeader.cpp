#include "wire/WireHeader.h"

#include <climits>

namespace wire {
namespace {

constexpr std::string_view kContentLength = "Content-length";
constexpr size_t kMaxStrictDigits = 18;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Splits one header line into name and value; false when the line has no name.
bool SplitHeaderLine(std::string_view line, std::string_view& name, std::string_view& value) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t nameStart = i;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != ':') ++i;
    name = line.substr(nameStart, i - nameStart);
    while (i < line.size() && (IsBlank(line[i]) || line[i] == ':')) ++i;
    size_t end = line.size();
    while (end > i && (line[end - 1] == '\r' || line[end - 1] == '\n' || IsBlank(line[end - 1])))
        --end;
    value = line.substr(i, end - i);
    return !name.empty();
}

}  // namespace

size_t FindHeaderEnd(std::string_view buffer, size_t searchFrom) {
    if (searchFrom > buffer.size()) return std::string_view::npos;
    const size_t hit = buffer.find(kHeaderTerminator, searchFrom);
    return hit == std::string_view::npos ? hit : hit + kHeaderTerminator.size();
}

std::optional<std::string> FindHeaderField(std::string_view block, std::string_view name) {
    std::optional<std::string> found;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\n', start);
        if (end == std::string_view::npos) end = block.size();
        std::string_view fieldName, value;
        if (SplitHeaderLine(block.substr(start, end - start), fieldName, value) &&
            EqualsNoCase(fieldName, name))
            found = std::string(value.substr(0, kMaxHeaderValueBytes));
        start = end + 1;
    }
    return found;
}

int ContentLengthOf(std::string_view block) {
    const auto value = FindHeaderField(block, kContentLength);
    if (!value) return 0;
    size_t i = 0;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '-' || (*value)[i] == '+'))
        negative = (*value)[i++] == '-';
    long long n = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i)
        if (n <= INT_MAX) n = n * 10 + ((*value)[i] - '0');
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(negative ? -n : n);
}

std::optional<long long> StrictContentLengthOf(std::string_view block) {
    const auto value = FindHeaderField(block, kContentLength);
    if (!value || value->empty() || value->size() > kMaxStrictDigits) return std::nullopt;
    long long n = 0;
    for (char c : *value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace wire
