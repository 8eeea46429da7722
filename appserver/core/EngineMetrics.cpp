#include "core/EngineMetrics.h"

#include <chrono>

#include "wire/WireAnswer.h"

namespace {

constexpr char kRequests[] = "appserver_requests_total";
constexpr char kErrors[] = "appserver_errors_total";

}  // namespace

EngineMetrics::EngineMetrics(MetricsRegistry& registry, const std::vector<std::string>& functions)
    : latency_(registry.AddHistogram("appserver_request_duration_seconds",
                                     "Time from a whole request to its answer.",
                                     Histogram::LatencyBoundsSeconds())) {
    std::vector<std::string> names = functions;
    names.emplace_back(kOtherFunction);
    for (const std::string& name : names)
        byFunction_[name] = {
            registry.AddCounter(kRequests, "Calls answered, by function.", {{"function", name}}),
            registry.AddCounter(kErrors, "Calls answered with an error, by function.",
                                {{"function", name}})};
}

void EngineMetrics::Record(std::string_view function, bool failed, double seconds) const {
    auto found = byFunction_.find(function);
    if (found == byFunction_.end()) found = byFunction_.find(std::string_view(kOtherFunction));
    found->second.requests.Add();
    if (failed) found->second.errors.Add();
    latency_.Observe(seconds);
}

std::string_view EngineMetrics::FunctionOf(std::string_view body) {
    std::string_view line = body.substr(0, body.find('\n'));
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

bool EngineMetrics::IsErrorAnswer(std::string_view message) {
    const size_t end = message.find("\r\n\r\n");
    if (end == std::string_view::npos) return true;  // not an answer the client can read
    return wire::ClassifyAnswer(message.substr(end + 4)).kind != wire::AnswerKind::kOk;
}

double EngineMetrics::NowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
