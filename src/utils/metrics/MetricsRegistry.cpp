#include "utils/metrics/MetricsRegistry.h"

#include <algorithm>
#include <stdexcept>

namespace {

const char* TypeName(MetricsRegistry::Type type) {
    switch (type) {
        case MetricsRegistry::Type::Counter:
            return "counter";
        case MetricsRegistry::Type::Gauge:
            return "gauge";
        case MetricsRegistry::Type::Histogram:
            return "histogram";
    }
    return "untyped";
}

void CheckLabels(const MetricsRegistry::Labels& labels) {
    for (const auto& [name, value] : labels)
        if (!PrometheusText::IsLabelName(name) || name == "le")
            throw std::invalid_argument("metrics: invalid label name '" + name + "'");
}

void CheckBounds(const std::vector<double>& bounds) {
    if (bounds.empty() || !std::is_sorted(bounds.begin(), bounds.end()) ||
        std::adjacent_find(bounds.begin(), bounds.end()) != bounds.end())
        throw std::invalid_argument("metrics: histogram bounds must increase");
}

}  // namespace

MetricsRegistry::MetricsRegistry(MetricCells::Sharing sharing, std::size_t cells)
    : cells_(cells, sharing) {}

MetricsRegistry::Family& MetricsRegistry::FamilyFor(const std::string& name,
                                                    const std::string& help, Type type,
                                                    const std::vector<double>* bounds) {
    for (Family& family : families_) {
        if (family.name != name) continue;
        if (family.type != type || family.help != help || (bounds && *bounds != *family.bounds))
            throw std::invalid_argument("metrics: '" + name + "' added twice, differently");
        return family;
    }
    if (!PrometheusText::IsMetricName(name))
        throw std::invalid_argument("metrics: invalid metric name '" + name + "'");
    Family family{name, help, type, nullptr, {}};
    if (bounds) family.bounds = std::make_unique<std::vector<double>>(*bounds);
    families_.push_back(std::move(family));
    return families_.back();
}

MetricsRegistry::Series& MetricsRegistry::Find(const std::string& name, const std::string& help,
                                               Type type, const std::vector<double>* bounds,
                                               const Labels& labels, std::size_t cellsNeeded,
                                               bool& added) {
    CheckLabels(labels);
    Family& family = FamilyFor(name, help, type, bounds);
    added = false;
    for (Series& series : family.series)
        if (series.labels == labels) return series;
    if (cells_.count() - used_ < cellsNeeded)
        throw std::length_error("metrics: no room left for '" + name + "'");
    family.series.push_back({labels, used_, nullptr});
    used_ += cellsNeeded;
    added = true;
    return family.series.back();
}

Counter MetricsRegistry::AddCounter(const std::string& name, const std::string& help,
                                    const Labels& labels) {
    const std::lock_guard<std::mutex> lock(mutex_);
    bool added = false;
    return Counter(cells_.at(Find(name, help, Type::Counter, nullptr, labels, 1, added).firstCell));
}

Gauge MetricsRegistry::AddGauge(const std::string& name, const std::string& help,
                                const Labels& labels) {
    const std::lock_guard<std::mutex> lock(mutex_);
    bool added = false;
    return Gauge(cells_.at(Find(name, help, Type::Gauge, nullptr, labels, 1, added).firstCell));
}

Histogram MetricsRegistry::AddHistogram(const std::string& name, const std::string& help,
                                        const std::vector<double>& bounds, const Labels& labels) {
    CheckBounds(bounds);
    const std::lock_guard<std::mutex> lock(mutex_);
    bool added = false;
    // One cell per bound, one for +Inf, one for the sum.
    const Series& series =
        Find(name, help, Type::Histogram, &bounds, labels, bounds.size() + 2, added);
    for (const Family& family : families_)
        if (family.name == name) return Histogram(family.bounds.get(), cells_.at(series.firstCell));
    return Histogram();
}

void MetricsRegistry::AddSampled(const std::string& name, const std::string& help, Type type,
                                 std::function<double()> sample, const Labels& labels) {
    if (type == Type::Histogram)
        throw std::invalid_argument("metrics: a histogram cannot be sampled");
    const std::lock_guard<std::mutex> lock(mutex_);
    bool added = false;
    Find(name, help, type, nullptr, labels, 0, added).sample = std::move(sample);
}

void MetricsRegistry::RenderFamily(const Family& family, std::string& out) const {
    out += PrometheusText::Header(family.name, family.help, TypeName(family.type));
    for (const Series& series : family.series) {
        const std::string labels = PrometheusText::LabelSet(series.labels);
        std::uint64_t* cell = cells_.at(series.firstCell);
        if (series.sample) {
            out += family.name + labels + ' ' + PrometheusText::Number(series.sample()) + '\n';
        } else if (family.type == Type::Counter) {
            out += family.name + labels + ' ' + std::to_string(Counter(cell).value()) + '\n';
        } else if (family.type == Type::Gauge) {
            out += family.name + labels + ' ' + std::to_string(Gauge(cell).value()) + '\n';
        } else {
            const Histogram histogram(family.bounds.get(), cell);
            Labels withBound = series.labels;
            withBound.emplace_back("le", "");
            std::uint64_t cumulative = 0;
            for (std::size_t i = 0; i < histogram.bucketTotal(); ++i) {
                cumulative += histogram.bucketCount(i);
                withBound.back().second = i < family.bounds->size()
                                              ? PrometheusText::Number((*family.bounds)[i])
                                              : "+Inf";
                out += family.name + "_bucket" + PrometheusText::LabelSet(withBound) + ' ' +
                       std::to_string(cumulative) + '\n';
            }
            // The count is the +Inf bucket, read once: both agree even while others observe.
            out += family.name + "_sum" + labels + ' ' + PrometheusText::Number(histogram.sum()) +
                   '\n';
            out += family.name + "_count" + labels + ' ' + std::to_string(cumulative) + '\n';
        }
    }
}

std::string MetricsRegistry::Render() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const Family& family : families_) RenderFamily(family, out);
    return out;
}
