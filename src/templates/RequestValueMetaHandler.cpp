#include "templates/RequestValueMetaHandler.h"

#include "utils/JsonpCallback.h"

namespace {

constexpr char kCallbackKey[] = "callback";

// URLs of the relay and the service host land in attributes and script strings of answers; they
// are escaped whatever their source, except the placeholder text that a script answer passes on
// for the relay to fill ("<#ferrix_url#>" as the value of "ferrix_url").
bool IsAlwaysEscaped(const std::string& key, const std::string& value) {
    return (key == "ferrix_url" || key == "service_host") && value != "<#" + key + "#>";
}

}  // namespace

std::string RequestValueMetaHandler::render(const Arguments& args, StringMap& map) {
    if (args.empty()) return {};
    const std::string& key = args.front();
    const std::string& value = map[key];
    // A callback stands outside any string literal: no escape makes a wrong one harmless.
    if (context_ == EscapeContext::kScript && key == kCallbackKey && !value.empty() &&
        !IsValidJsonpCallback(value))
        return {};
    if (IsAlwaysEscaped(key, value)) return EscapeFor(context_, value);
    if (record_ == nullptr) return value;
    const auto origin = record_->OriginOf(key, value);
    if (!origin) return value;
    if (origin->htmlEscaped && context_ == EscapeContext::kHtml) return CompleteHtmlEscape(value);
    return EscapeFor(context_, origin->requestText);
}
