#pragma once
// The pieces of the Prometheus text exposition format, version 0.0.4: names, label sets and
// sample values as the format writes them.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class PrometheusText {
  public:
    using Labels = std::vector<std::pair<std::string, std::string>>;

    static constexpr char kContentType[] = "text/plain; version=0.0.4; charset=utf-8";

    // [a-zA-Z_:][a-zA-Z0-9_:]*
    static bool IsMetricName(std::string_view name);
    // [a-zA-Z_][a-zA-Z0-9_]*, not beginning with "__" (reserved for Prometheus itself).
    static bool IsLabelName(std::string_view name);

    // A label value inside double quotes: backslash, double quote and line feed escaped.
    static std::string EscapeLabelValue(std::string_view value);
    // HELP text: backslash and line feed escaped.
    static std::string EscapeHelp(std::string_view help);
    // "{a="1",b="2"}", or "" for no labels.
    static std::string LabelSet(const Labels& labels);
    // Integers without a fraction, others in the shortest form that reads back the same;
    // "+Inf", "-Inf", "NaN".
    static std::string Number(double value);

    // "# HELP name help\n# TYPE name type\n".
    static std::string Header(std::string_view name, std::string_view help, std::string_view type);
};
