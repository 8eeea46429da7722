#pragma once
// Named counters, gauges and histograms with labels, and their rendering in the Prometheus text
// format (version 0.0.4). Families appear in the order they were first added, their series in
// the order of their label sets.
//
// Adding is rare and takes a mutex; updating through the returned handles is lock-free; Render
// takes the mutex and reads every value once. With Sharing::SharedAcrossFork the values are
// shared with the processes forked afterwards, but the names are not: add every series before
// forking, and render in any process forked after that. A sampled series calls its function at
// each Render (in the rendering process, under the mutex: it must not add series).
//
// Adding throws std::invalid_argument for a name or label name the format does not allow, or a
// name already used with another type, help or bucket bounds; std::length_error when the cells
// are used up. Adding a series that exists returns the existing one.
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "utils/metrics/Counter.h"
#include "utils/metrics/Gauge.h"
#include "utils/metrics/Histogram.h"
#include "utils/metrics/MetricCells.h"
#include "utils/metrics/PrometheusText.h"

class MetricsRegistry {
  public:
    using Labels = PrometheusText::Labels;
    enum class Type { Counter, Gauge, Histogram };

    static constexpr std::size_t kDefaultCells = 4096;

    explicit MetricsRegistry(MetricCells::Sharing sharing = MetricCells::Sharing::Private,
                             std::size_t cells = kDefaultCells);

    Counter AddCounter(const std::string& name, const std::string& help, const Labels& labels = {});
    Gauge AddGauge(const std::string& name, const std::string& help, const Labels& labels = {});
    // `bounds`: increasing upper bounds, without +Inf.
    Histogram AddHistogram(const std::string& name, const std::string& help,
                           const std::vector<double>& bounds, const Labels& labels = {});
    // A counter or gauge whose value `sample` gives at each Render.
    void AddSampled(const std::string& name, const std::string& help, Type type,
                    std::function<double()> sample, const Labels& labels = {});

    // Every family: HELP and TYPE lines, then one line per series (histograms: cumulative
    // "_bucket" lines up to le="+Inf", "_sum" and "_count").
    std::string Render() const;

  private:
    struct Series {
        Labels labels;
        std::size_t firstCell = 0;
        std::function<double()> sample;
    };
    struct Family {
        std::string name;
        std::string help;
        Type type;
        std::unique_ptr<std::vector<double>> bounds;  // histograms; stable for the handles
        std::vector<Series> series;
    };

    // The series of `labels` in family `name`, added with `cellsNeeded` cells when new; `added`
    // tells which. Caller holds mutex_.
    Series& Find(const std::string& name, const std::string& help, Type type,
                 const std::vector<double>* bounds, const Labels& labels, std::size_t cellsNeeded,
                 bool& added);
    Family& FamilyFor(const std::string& name, const std::string& help, Type type,
                      const std::vector<double>* bounds);
    void RenderFamily(const Family& family, std::string& out) const;

    mutable std::mutex mutex_;
    mutable MetricCells cells_;  // values change under const Render: they are atomics
    std::size_t used_ = 0;
    std::vector<Family> families_;
};
