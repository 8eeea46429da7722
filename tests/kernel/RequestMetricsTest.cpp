#include <gtest/gtest.h>

#include <string>

#include "kernel/RequestMetrics.h"

namespace {

TEST(RequestMetricsTest, ClientValuesBecomeBoundedLabels) {
    const RequestMetrics metrics("orthd", {"spell", "default", "sc"});
    const struct {
        std::string command;
        std::string status;
        std::string series;  // the line that counts the request
    } rows[] = {
        {"spell", "", "orthd_requests_total{command=\"spell\",status=\"200\"} 1"},
        {"SPELL", "302 Found", "orthd_requests_total{command=\"spell\",status=\"302\"} 1"},
        {"", "503 Service Unavailable",
         "orthd_requests_total{command=\"default\",status=\"503\"} 1"},
        {"sc", "299 Odd", "orthd_requests_total{command=\"sc\",status=\"other\"} 1"},
        {"no-such\"cmd\n", "404", "orthd_requests_total{command=\"other\",status=\"404\"} 1"},
        {std::string(100000, 'x'), "200 OK",
         "orthd_requests_total{command=\"other\",status=\"200\"} 1"},
    };
    for (const auto& row : rows) metrics.Record(row.command, row.status, 0.002, 1, 2);
    const std::string page = metrics.Render();
    for (const auto& row : rows)
        EXPECT_NE(page.find(row.series + "\n"), std::string::npos) << row.series;
    EXPECT_NE(page.find("orthd_request_duration_seconds_bucket{le=\"0.0025\"} 6\n"),
              std::string::npos);
    EXPECT_NE(page.find("orthd_engine_errors_total 6\n"), std::string::npos);
    EXPECT_NE(page.find("orthd_engine_failovers_total 12\n"), std::string::npos);
    EXPECT_EQ(page.find("no-such"), std::string::npos);
}

}  // namespace
