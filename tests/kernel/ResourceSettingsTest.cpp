#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>

#include "ferrix/SettingHandlers.h"
#include "kernel/ServerSettingHandler.h"
#include "kernel/settings/MaxProblems_SS.h"
#include "kernel/settings/MemoryLimit_SS.h"
#include "orthd/SettingHandlers.h"

namespace {

ServerSettingHandler* HandlerOf(Program program, const std::string& key) {
    for (ServerSettingHandler* handler : ServerSettingHandler::Registered(program))
        if (handler->name() == key) return handler;
    return nullptr;
}

rlim_t DataLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_DATA, &limit);
    return limit.rlim_cur;
}

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

}  // namespace

TEST(ResourceSettingsTest, TheLimitKeysHaveHandlersInTheirPrograms) {
    orthd::RegisterSettingHandlers();
    ferrix::RegisterSettingHandlers();
    EXPECT_NE(HandlerOf(Program::Orthd, "max_problems"), nullptr);
    EXPECT_NE(HandlerOf(Program::Orthd, "memory_limit_mb"), nullptr);
    EXPECT_NE(HandlerOf(Program::Ferrix, "memory_limit_mb"), nullptr);
    EXPECT_EQ(HandlerOf(Program::Ferrix, "max_problems"), nullptr);
}

TEST(ResourceSettingsTest, MaxProblemsTakesOnlyAPositiveDecimalNumber) {
    const std::pair<const char*, size_t> rows[] = {
        {"1", 1},
        {"20000", 20000},
        {"0", MaxProblems_SS::kDefault},
        {"-3", MaxProblems_SS::kDefault},
        {"12x", MaxProblems_SS::kDefault},
        {"", MaxProblems_SS::kDefault},
        {"99999999999999999999999", MaxProblems_SS::kDefault},
    };
    MaxProblems_SS handler(Program::Orthd);
    for (const auto& [value, limit] : rows) {
        StringMap map;
        InternalData data;
        handler.setDefault(map, data);
        EXPECT_EQ(MaxProblems_SS::Of(map), MaxProblems_SS::kDefault);
        handler.apply(map, data, value);
        EXPECT_EQ(MaxProblems_SS::Of(map), limit) << value;
    }
    EXPECT_EQ(MaxProblems_SS::Of(StringMap{}), MaxProblems_SS::kDefault);
}

TEST(ResourceSettingsTest, MemoryLimitLowersTheHeapLimitAndZeroLiftsIt) {
    if (Sanitized()) GTEST_SKIP() << "no limit under the address sanitizer";
    const rlim_t before = DataLimit();
    MemoryLimit_SS handler(Program::Orthd);
    StringMap map;
    InternalData data;
    handler.setDefault(map, data);
    EXPECT_LE(DataLimit(), rlim_t{MemoryLimit_SS::kDefaultMiB} << 20);
    handler.apply(map, data, "300");
    EXPECT_EQ(DataLimit(), std::min(before, rlim_t{300} << 20));
    handler.apply(map, data, "junk");  // ignored: the last limit stays
    EXPECT_EQ(DataLimit(), std::min(before, rlim_t{300} << 20));
    handler.apply(map, data, "0");  // back to the limit the process started with
    EXPECT_GT(DataLimit(), rlim_t{300} << 20);
}
