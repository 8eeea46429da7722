#pragma once
// The figures of a FastCGI service for the operator's metrics page: requests by command and
// HTTP status, how long they took, failed engine calls and engine fail-overs. The values live in
// memory shared with the worker processes forked after construction (each worker records, any
// process renders); every series exists from the start, so the names agree in all processes.
// Commands and statuses come from clients: only the program's own commands and the usual
// statuses get their own label value, everything else counts as "other".
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "utils/metrics/MetricsRegistry.h"

class RequestMetrics {
  public:
    static constexpr char kOther[] = "other";
    static const std::vector<std::string>& Statuses();

    // Names its metrics "<prefix>_..." (the program's name). Throws std::runtime_error when the
    // shared memory cannot be had.
    RequestMetrics(const std::string& prefix, const std::vector<std::string>& commands);

    // One request: its "cmd" parameter as sent, its "Status" header value ("" for 200), its time,
    // and the engine-call failures and fail-overs it caused.
    void Record(std::string_view command, std::string_view status, double seconds,
                std::uint64_t engineFailures, std::uint64_t failovers) const;

    std::string Render() const { return registry_.Render(); }

    // The label values Record uses for a command and a status.
    std::string CommandLabel(std::string_view command) const;
    static std::string StatusLabel(std::string_view status);

  private:
    MetricsRegistry registry_;
    std::map<std::string, std::map<std::string, Counter>, std::less<>> requests_;
    Histogram latency_;
    Counter engineFailures_;
    Counter failovers_;
};
