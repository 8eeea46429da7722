#include "utils/JsonpCallback.h"

namespace {

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsIdentifierPart(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Consumes "[digits]" at `i`; false when the text there is not such an index.
bool SkipIndex(std::string_view name, std::size_t& i) {
    std::size_t j = i + 1;
    const std::size_t digitsStart = j;
    while (j < name.size() && IsDigit(name[j])) ++j;
    if (j == digitsStart || j >= name.size() || name[j] != ']') return false;
    i = j + 1;
    return true;
}

}  // namespace

bool IsValidJsonpCallback(std::string_view name) {
    if (name.empty() || name.size() > kMaxJsonpCallbackLength) return false;
    std::size_t i = 0;
    while (true) {
        if (i >= name.size() || !IsIdentifierStart(name[i])) return false;
        while (i < name.size() && IsIdentifierPart(name[i])) ++i;
        while (i < name.size() && name[i] == '[')
            if (!SkipIndex(name, i)) return false;
        if (i == name.size()) return true;
        if (name[i] != '.') return false;
        ++i;
    }
}
