#include "utils/metrics/PrometheusText.h"

#include <charconv>
#include <cmath>

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Escaped(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' && quotes)
            out += "\\\"";
        else
            out += c;
    }
    return out;
}

}  // namespace

bool PrometheusText::IsMetricName(std::string_view name) {
    if (name.empty() || !(IsLetter(name[0]) || name[0] == ':')) return false;
    for (char c : name)
        if (!(IsLetter(c) || IsDigit(c) || c == ':')) return false;
    return true;
}

bool PrometheusText::IsLabelName(std::string_view name) {
    if (name.empty() || !IsLetter(name[0]) || name.starts_with("__")) return false;
    for (char c : name)
        if (!(IsLetter(c) || IsDigit(c))) return false;
    return true;
}

std::string PrometheusText::EscapeLabelValue(std::string_view value) {
    return Escaped(value, true);
}

std::string PrometheusText::EscapeHelp(std::string_view help) { return Escaped(help, false); }

std::string PrometheusText::LabelSet(const Labels& labels) {
    if (labels.empty()) return "";
    std::string out = "{";
    for (const auto& [name, value] : labels) {
        if (out.size() > 1) out += ',';
        out += name + "=\"" + EscapeLabelValue(value) + '"';
    }
    return out + '}';
}

std::string PrometheusText::Number(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string PrometheusText::Header(std::string_view name, std::string_view help,
                                   std::string_view type) {
    std::string out = "# HELP ";
    out.append(name).append(" ").append(EscapeHelp(help)).append("\n# TYPE ");
    return out.append(name).append(" ").append(type).append("\n");
}
