// The cost of the metrics on the request path and of one scrape, as ratios to baselines of the
// same run: a relaxed atomic increment for the updates, a copy of a string as large as the page
// for the rendering. Each figure is the median of several rounds.
//
// Usage: metrics_bench [ROUNDS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "kernel/RequestMetrics.h"
#include "utils/metrics/MetricsRegistry.h"

namespace {

constexpr int kUpdates = 1000000;
constexpr int kRenders = 200;

// Median nanoseconds per call of `body`, over `rounds` rounds of `calls` calls.
double MedianNs(int rounds, int calls, const std::function<void(int)>& body) {
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i) body(i);
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        samples.push_back(took.count() / calls);
    }
    std::nth_element(samples.begin(), samples.begin() + rounds / 2, samples.end());
    return samples[static_cast<size_t>(rounds / 2)];
}

void Row(const char* what, double ns, double baselineNs) {
    std::printf("%-44s %10.1f ns  %8.2fx\n", what, ns, ns / baselineNs);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::atomic<std::uint64_t> bare{0};
    MetricsRegistry registry(MetricCells::Sharing::SharedAcrossFork);
    const Counter counter = registry.AddCounter("c_total", "C.");
    const Histogram histogram =
        registry.AddHistogram("h_seconds", "H.", Histogram::LatencyBoundsSeconds());
    std::vector<std::string> commands;
    for (int i = 0; i < 40; ++i) commands.push_back("command" + std::to_string(i));
    const RequestMetrics orthd("orthd", commands);

    const double baseline =
        MedianNs(rounds, kUpdates, [&](int) { bare.fetch_add(1, std::memory_order_relaxed); });
    std::printf("%-44s %10s     %8s\n", "updates (per call)", "time", "ratio");
    Row("baseline: relaxed atomic increment", baseline, baseline);
    Row("Counter::Add (shared cells)", MedianNs(rounds, kUpdates, [&](int) { counter.Add(); }),
        baseline);
    Row("Histogram::Observe",
        MedianNs(rounds, kUpdates,
                 [&](int i) { histogram.Observe(static_cast<double>(i % 1000) / 1000); }),
        baseline);
    Row("RequestMetrics::Record (one orthd request)",
        MedianNs(rounds, kUpdates,
                 [&](int i) {
                     orthd.Record(commands[static_cast<size_t>(i % 40)], i % 7 ? "" : "302 Found",
                                  0.004, 0, 0);
                 }),
        baseline);

    const std::string page = orthd.Render();
    std::string copy;
    const double copyNs = MedianNs(rounds, kRenders, [&](int) {
        copy = std::string(page.data(), page.size());
        if (copy.empty()) std::abort();
    });
    std::printf("\nscrape of orthd's page (%zu bytes, 41 commands x 10 statuses)\n", page.size());
    Row("baseline: copy of a string of that size", copyNs, copyNs);
    Row("RequestMetrics::Render",
        MedianNs(rounds, kRenders,
                 [&](int) {
                     if (orthd.Render().empty()) std::abort();
                 }),
        copyNs);
    return 0;
}
