#include <gtest/gtest.h>

#include <cstdlib>

#include "kernel/CorsHeaders.h"
#include "utils/InternalDataKeys.h"

TEST(CorsHeadersTest, ListedOriginsOnly) {
    using Lines = std::vector<std::string>;
    const Lines listed = {"Vary: Origin", "Access-Control-Allow-Origin: https://a.example",
                          "Access-Control-Allow-Credentials: true"};
    const struct {
        std::string list, origin;
        Lines lines;
    } rows[] = {
        {"", "https://a.example", {}},
        {"  \t", "https://a.example", {}},
        {"https://a.example https://b.example", "https://a.example", listed},
        {"https://b.example\thttps://a.example", "https://a.example", listed},
        {"https://a.example", "https://a.example.evil", {"Vary: Origin"}},
        {"https://a.example", "", {"Vary: Origin"}},
        {"https://a.example", "https://a.example\r\nSet-Cookie: x=1", {"Vary: Origin"}},
        {"*", "https://any.example", {"Vary: Origin", "Access-Control-Allow-Origin: *"}},
        {"* https://a.example", "https://a.example", listed},
        {"*", "*", {"Vary: Origin", "Access-Control-Allow-Origin: *"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CorsHeaderLines(row.list, row.origin), row.lines)
            << row.list << " " << row.origin;
}

TEST(CorsHeadersTest, AddsTheLinesOnceForTheRequestOrigin) {
    ::setenv("HTTP_ORIGIN", "https://a.example", 1);
    StringMap map;
    InternalData data;
    map[kCorsAllowOriginsKey] = "https://a.example";
    AddCorsHeaders(map, data);
    AddCorsHeaders(map, data);
    ::unsetenv("HTTP_ORIGIN");
    EXPECT_EQ(data.Get<std::vector<std::string>>(idkey::HttpExtraHeaders).size(), 3u);
}
