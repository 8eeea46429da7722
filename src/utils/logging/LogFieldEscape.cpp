#include "utils/logging/LogFieldEscape.h"

#include "utils/BackslashEscaper.h"

std::string LogTextEscape(std::string_view kept) { return kLogEscaper.Escape(kept); }

std::string LogFieldEscape(std::string_view field) {
    const std::string_view kept = field.substr(0, kMaxLogFieldBytes);
    std::string out = LogTextEscape(kept);
    if (kept.size() < field.size())
        out += "\\[+" + std::to_string(field.size() - kept.size()) + " bytes]";
    return out;
}
