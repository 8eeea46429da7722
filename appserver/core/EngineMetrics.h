#pragma once
// What the engine server tells the operator's metrics page about its calls: requests and error
// answers by function, and how long answering took. Function names come from clients, so only
// the functions served get their own label value; every other name counts as "other".
// Thread-safe; the registry must outlive this object.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "utils/metrics/MetricsRegistry.h"

class EngineMetrics {
  public:
    static constexpr char kOtherFunction[] = "other";

    EngineMetrics(MetricsRegistry& registry, const std::vector<std::string>& functions);

    // Answers `body` with `answer` (the whole answer message for it) and records the call.
    template <typename Answer>
    std::string Measure(std::string_view body, const Answer& answer) const {
        const double start = NowSeconds();
        std::string message = answer(body);
        Record(FunctionOf(body), IsErrorAnswer(message), NowSeconds() - start);
        return message;
    }

    void Record(std::string_view function, bool failed, double seconds) const;

    // The function line of a request body, as sent (not unescaped).
    static std::string_view FunctionOf(std::string_view body);
    // True when the answer message carries the protocol's error token.
    static bool IsErrorAnswer(std::string_view message);

  private:
    struct Calls {
        Counter requests;
        Counter errors;
    };
    static double NowSeconds();

    std::map<std::string, Calls, std::less<>> byFunction_;
    Histogram latency_;
};
