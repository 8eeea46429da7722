#include "kernel/RequestMetrics.h"

#include <algorithm>

#include "kernel/RequestDecoding.h"

namespace {

// Cells for every series: one per command (and "other") and status, the histogram's buckets, +Inf
// and sum, and the two engine counters.
std::size_t CellsFor(std::size_t commands) {
    return (commands + 1) * RequestMetrics::Statuses().size() +
           Histogram::LatencyBoundsSeconds().size() + 2 + 2;
}

}  // namespace

const std::vector<std::string>& RequestMetrics::Statuses() {
    static const std::vector<std::string> statuses = {"200", "302", "304", "400", "403",
                                                      "404", "413", "500", "503", kOther};
    return statuses;
}

RequestMetrics::RequestMetrics(const std::string& prefix, const std::vector<std::string>& commands)
    : registry_(MetricCells::Sharing::SharedAcrossFork, CellsFor(commands.size())),
      latency_(registry_.AddHistogram(prefix + "_request_duration_seconds",
                                      "Time from the start of a request to its answer.",
                                      Histogram::LatencyBoundsSeconds())),
      engineFailures_(registry_.AddCounter(prefix + "_engine_errors_total",
                                           "Engine-server calls that failed.")),
      failovers_(registry_.AddCounter(prefix + "_engine_failovers_total",
                                      "Engine servers that could not be reached, so that the "
                                      "next one was tried.")) {
    std::vector<std::string> names = commands;
    names.emplace_back(kOther);
    for (const std::string& command : names)
        for (const std::string& status : Statuses())
            requests_[command][status] = registry_.AddCounter(
                prefix + "_requests_total", "Requests answered, by command and HTTP status.",
                {{"command", command}, {"status", status}});
}

std::string RequestMetrics::CommandLabel(std::string_view command) const {
    const std::string lower = command.empty() ? std::string("default")
                                              : RequestDecoding::AsciiLower(std::string(command));
    return requests_.contains(lower) ? lower : kOther;
}

std::string RequestMetrics::StatusLabel(std::string_view status) {
    if (status.empty()) return "200";
    const std::string code(status.substr(0, status.find(' ')));
    const auto& known = Statuses();
    return std::find(known.begin(), known.end(), code) != known.end() ? code : kOther;
}

void RequestMetrics::Record(std::string_view command, std::string_view status, double seconds,
                            std::uint64_t engineFailures, std::uint64_t failovers) const {
    requests_.find(CommandLabel(command))->second.find(StatusLabel(status))->second.Add();
    latency_.Observe(seconds);
    engineFailures_.Add(engineFailures);
    failovers_.Add(failovers);
}
