#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "support/HttpClient.h"
#include "utils/metrics/MetricsEndpoint.h"
#include "utils/metrics/MetricsEndpointThread.h"
#include "utils/metrics/MetricsRegistry.h"
#include "utils/metrics/PeerAllowList.h"

namespace {

struct TextRow {
    const char* what;
    std::function<void(MetricsRegistry&)> fill;
    std::string expected;
};

TEST(MetricsTextTest, RendersTheExpositionFormat) {
    const TextRow rows[] = {
        {"empty registry", [](MetricsRegistry&) {}, ""},
        {"counter without labels",
         [](MetricsRegistry& r) { r.AddCounter("jobs_total", "Jobs done.").Add(3); },
         "# HELP jobs_total Jobs done.\n# TYPE jobs_total counter\njobs_total 3\n"},
        {"label values escaped, series in order added, one header",
         [](MetricsRegistry& r) {
             r.AddCounter("c_total", "h", {{"cmd", "a\\b"}}).Add();
             r.AddCounter("c_total", "h", {{"cmd", "say \"hi\"\nbye"}}).Add(2);
             r.AddCounter("c_total", "h", {{"cmd", "a\\b"}}).Add();  // the same series again
         },
         "# HELP c_total h\n# TYPE c_total counter\nc_total{cmd=\"a\\\\b\"} 2\n"
         "c_total{cmd=\"say \\\"hi\\\"\\nbye\"} 2\n"},
        {"help escapes backslash and newline but not quotes",
         [](MetricsRegistry& r) { r.AddGauge("g", "a \"b\"\\c\nd"); },
         "# HELP g a \"b\"\\\\c\\nd\n# TYPE g gauge\ng 0\n"},
        {"gauge goes below zero, several labels",
         [](MetricsRegistry& r) {
             const Gauge g = r.AddGauge("open", "Open.", {{"a", "1"}, {"b", ""}});
             g.Add(2);
             g.Add(-5);
         },
         "# HELP open Open.\n# TYPE open gauge\nopen{a=\"1\",b=\"\"} -3\n"},
        {"histogram: cumulative buckets, +Inf, sum and count; bound values inclusive",
         [](MetricsRegistry& r) {
             const Histogram h = r.AddHistogram("lat_seconds", "L.", {0.5, 1}, {{"f", "x"}});
             for (double v : {0.25, 0.5, 0.75, 3.0}) h.Observe(v);
         },
         "# HELP lat_seconds L.\n# TYPE lat_seconds histogram\n"
         "lat_seconds_bucket{f=\"x\",le=\"0.5\"} 2\nlat_seconds_bucket{f=\"x\",le=\"1\"} 3\n"
         "lat_seconds_bucket{f=\"x\",le=\"+Inf\"} 4\nlat_seconds_sum{f=\"x\"} 4.5\n"
         "lat_seconds_count{f=\"x\"} 4\n"},
        {"histogram ignores NaN",
         [](MetricsRegistry& r) { r.AddHistogram("h", "H.", {1}).Observe(std::nan("")); },
         "# HELP h H.\n# TYPE h histogram\nh_bucket{le=\"1\"} 0\nh_bucket{le=\"+Inf\"} 0\n"
         "h_sum 0\nh_count 0\n"},
        {"sampled values, special numbers",
         [](MetricsRegistry& r) {
             using T = MetricsRegistry::Type;
             r.AddSampled("s", "S.", T::Gauge,
                          [] { return std::numeric_limits<double>::infinity(); }, {{"k", "inf"}});
             r.AddSampled("s", "S.", T::Gauge, [] { return 0.125; }, {{"k", "frac"}});
             r.AddSampled("t_total", "T.", T::Counter, [] { return 1e21; });
         },
         "# HELP s S.\n# TYPE s gauge\ns{k=\"inf\"} +Inf\ns{k=\"frac\"} 0.125\n"
         "# HELP t_total T.\n# TYPE t_total counter\nt_total 1e+21\n"},
    };
    for (const TextRow& row : rows) {
        MetricsRegistry registry;
        row.fill(registry);
        EXPECT_EQ(registry.Render(), row.expected) << row.what;
    }
}

TEST(MetricsTextTest, RefusesWhatTheFormatCannotCarry) {
    const std::function<void(MetricsRegistry&)> rows[] = {
        [](MetricsRegistry& r) { r.AddCounter("1st", "h"); },
        [](MetricsRegistry& r) { r.AddCounter("a-b", "h"); },
        [](MetricsRegistry& r) {
            r.AddCounter("a", "h", {{"__name", "x"}});
        },
        [](MetricsRegistry& r) {
            r.AddCounter("a", "h", {{"le", "x"}});
        },
        [](MetricsRegistry& r) {
            r.AddCounter("a", "h", {{"a b", "x"}});
        },
        [](MetricsRegistry& r) {
            r.AddHistogram("a", "h", {2, 1});
        },
        [](MetricsRegistry& r) { r.AddHistogram("a", "h", {}); },
        [](MetricsRegistry& r) {
            r.AddCounter("a", "h");
            r.AddGauge("a", "h");
        },
        [](MetricsRegistry& r) {  // the cells are used up
            for (int i = 0; i < 5; ++i) r.AddCounter("a", "h", {{"n", std::to_string(i)}});
        },
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        MetricsRegistry registry(MetricCells::Sharing::Private, 4);
        EXPECT_ANY_THROW(rows[i](registry)) << "row " << i;
    }
}

TEST(MetricsTextTest, SharedValuesAddUpAcrossForkedProcesses) {
    MetricsRegistry registry(MetricCells::Sharing::SharedAcrossFork);
    const Counter counter = registry.AddCounter("n_total", "N.");
    const Histogram histogram = registry.AddHistogram("h", "H.", {1});
    pid_t children[3];
    for (pid_t& child : children) {
        child = fork();
        if (child == 0) {
            for (int i = 0; i < 1000; ++i) counter.Add();
            histogram.Observe(2);
            _exit(0);
        }
    }
    for (pid_t child : children) waitpid(child, nullptr, 0);
    EXPECT_EQ(counter.value(), 3000u);
    EXPECT_NE(registry.Render().find("h_count 3\n"), std::string::npos);
}

struct AnswerRow {
    std::string head;
    bool complete;
    bool allowed;
    std::string statusLine;
};

TEST(MetricsTextTest, EndpointAnswersOnlyGetMetricsFromAllowedPeers) {
    const AnswerRow rows[] = {
        {"GET /metrics HTTP/1.1\r\nHost: x", true, true, "HTTP/1.0 200 OK"},
        {"GET /metrics HTTP/1.0", true, true, "HTTP/1.0 200 OK"},
        {"GET /metrics?x=1 HTTP/1.1", true, true, "HTTP/1.0 200 OK"},
        {"GET /metrics HTTP/1.1", true, false, "HTTP/1.0 403 Forbidden"},
        {"garbage", true, false, "HTTP/1.0 403 Forbidden"},
        {"GET /metrics HTTP/1.1", false, true, "HTTP/1.0 400 Bad Request"},  // too long, too slow
        {"GET /metrics", true, true, "HTTP/1.0 400 Bad Request"},
        {"GET  /metrics HTTP/1.1", true, true, "HTTP/1.0 400 Bad Request"},
        {"GET /metrics HTTP/1.1 extra", true, true, "HTTP/1.0 400 Bad Request"},
        {"GET /metrics SPDY/3", true, true, "HTTP/1.0 400 Bad Request"},
        {"", true, true, "HTTP/1.0 400 Bad Request"},
        {"POST /metrics HTTP/1.1", true, true, "HTTP/1.0 404 Not Found"},
        {"GET / HTTP/1.1", true, true, "HTTP/1.0 404 Not Found"},
        {"GET /metrics/ HTTP/1.1", true, true, "HTTP/1.0 404 Not Found"},
        {"get /metrics HTTP/1.1", true, true, "HTTP/1.0 404 Not Found"},
        {std::string("GET /metrics\0 HTTP/1.1", 22), true, true, "HTTP/1.0 404 Not Found"},
    };
    const MetricsEndpoint::Render render = [] { return std::string("x 1\n"); };
    for (const AnswerRow& row : rows) {
        const std::string answer =
            MetricsEndpoint::Answer(row.head, row.complete, row.allowed, render);
        EXPECT_EQ(answer.substr(0, answer.find("\r\n")), row.statusLine) << row.head;
        const bool ok = row.statusLine.ends_with("200 OK");
        EXPECT_EQ(answer.ends_with("\r\n\r\nx 1\n"), ok) << row.head;
    }
}

struct PeerRow {
    const char* list;
    const char* peer;
    bool allowed;
};

sockaddr_storage Peer(const char* text) {
    sockaddr_storage peer{};
    if (inet_pton(AF_INET, text, &reinterpret_cast<sockaddr_in&>(peer).sin_addr) == 1) {
        peer.ss_family = AF_INET;
    } else {
        peer.ss_family = AF_INET6;
        inet_pton(AF_INET6, text, &reinterpret_cast<sockaddr_in6&>(peer).sin6_addr);
    }
    return peer;
}

TEST(MetricsTextTest, AllowListMatchesAddressesAndNetworks) {
    const PeerRow rows[] = {
        {PeerAllowList::kLoopback, "127.0.0.1", true},
        {PeerAllowList::kLoopback, "127.9.9.9", true},
        {PeerAllowList::kLoopback, "::1", true},
        {PeerAllowList::kLoopback, "::ffff:127.0.0.1", true},
        {PeerAllowList::kLoopback, "10.0.0.1", false},
        {PeerAllowList::kLoopback, "::2", false},
        {"", "127.0.0.1", false},
        {"10.1.2.3", "10.1.2.3", true},
        {"10.1.2.3", "10.1.2.4", false},
        {"10.1.0.0/20", "10.1.15.255", true},
        {"10.1.0.0/20", "10.1.16.0", false},
        {"0.0.0.0/0", "192.0.2.1", true},
        {"0.0.0.0/0", "2001:db8::1", false},
        {"2001:db8::/32, 10.0.0.0/8", "2001:db8:ffff::1", true},
        {"2001:db8::/32", "::ffff:10.0.0.1", false},
    };
    for (const PeerRow& row : rows) {
        const auto allow = PeerAllowList::Parse(row.list);
        ASSERT_TRUE(allow) << row.list;
        EXPECT_EQ(allow->Allows(Peer(row.peer)), row.allowed) << row.list << " / " << row.peer;
    }
    for (const char* bad : {"localhost", "10.0.0.0/33", "::/129", "10.0.0.0/", "10.0.0.0/8x"})
        EXPECT_FALSE(PeerAllowList::Parse(bad)) << bad;
}

TEST(MetricsTextTest, EndpointServesOverLoopbackSockets) {
    const struct {
        const char* allow;
        const char* target;
        int status;
    } rows[] = {
        {PeerAllowList::kLoopback, "/metrics", 200},
        {PeerAllowList::kLoopback, "/", 404},
        {"10.0.0.1", "/metrics", 403},
    };
    for (const auto& row : rows) {
        const MetricsEndpointThread endpoint("127.0.0.1:0", *PeerAllowList::Parse(row.allow),
                                             [] { return std::string("x 1\n"); });
        const auto r = testsupport::HttpRequest(static_cast<unsigned short>(endpoint.port()), "GET",
                                                row.target);
        EXPECT_EQ(r.status, row.status) << row.allow << " " << row.target;
        EXPECT_EQ(r.body == "x 1\n", row.status == 200);
    }
    EXPECT_THROW(MetricsEndpointThread("no-port", PeerAllowList(), [] { return ""; }),
                 std::runtime_error);
}

}  // namespace
