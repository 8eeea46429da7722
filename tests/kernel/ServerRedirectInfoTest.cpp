#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "kernel/ServerRedirectInfo.h"

namespace {
using Target = ServerRedirectInfo::Target;
}

TEST(ServerRedirectInfoTest, ParsesNamesHostAndPortOrRecordsNothing) {
    struct Row {
        const char* value;
        bool accepted;
        const char* name;  // looked up under ServiceKind::Spell
        std::optional<Target> expected;
    };
    const Row rows[] = {
        {"en_US->host:8080", true, "en_US", Target{"host", 8080}},
        {"en_US  en_GB ->host:1", true, "en_GB", Target{"host", 1}},
        {"en_US-> host :65535 ", true, "en_US", Target{"host", 65535}},
        {"en_US->10.0.0.7:2000", true, "en_US", Target{"10.0.0.7", 2000}},
        {"a->b->c:1", true, "a", Target{"b->c", 1}},
        {"->host:80", true, "", std::nullopt},  // no names: nothing to record
        {"en_US->s1:1,s2:2", true, "en_US", Target{"s1:1,s2:2", 1}},
        {"en_US->s1:1 , s2:2,", true, "en_US", Target{"s1:1,s2:2", 1}},
        // Rejected: each leaves the table empty.
        {"", false, "", std::nullopt},
        {"en_US host:8080", false, "en_US", std::nullopt},
        {"en_US->host", false, "en_US", std::nullopt},
        {"en_US->:8080", false, "en_US", std::nullopt},
        {"en_US->host:", false, "en_US", std::nullopt},
        {"en_US->host:abc", false, "en_US", std::nullopt},
        {"en_US->host:99999", false, "en_US", std::nullopt},
        {"en_US->host:65536", false, "en_US", std::nullopt},
        {"en_US->host:0", false, "en_US", std::nullopt},
        {"en_US->host:-1", false, "en_US", std::nullopt},
        {"en_US->host:+80", false, "en_US", std::nullopt},
        {"en_US->host:80x", false, "en_US", std::nullopt},
        {"en_US->host:80:90", false, "en_US", std::nullopt},
        {"en_US->host:18446744073709551697", false, "en_US", std::nullopt},
        {"en_US->[::1]:80", false, "en_US", std::nullopt},
        {"en_US->s1:1,s2", false, "en_US", std::nullopt},
        {"en_US->s1:1,:2", false, "en_US", std::nullopt},
        {"en_US->s1:1,s2:0", false, "en_US", std::nullopt},
    };
    for (const Row& row : rows) {
        ServerRedirectInfo table;
        EXPECT_EQ(table.ParseInto(ServiceKind::Spell, row.value), row.accepted) << row.value;
        EXPECT_EQ(table.Find(ServiceKind::Spell, row.name), row.expected) << row.value;
        EXPECT_EQ(table.Find(ServiceKind::Grammar, row.name), std::nullopt) << row.value;
    }
}

TEST(ServerRedirectInfoTest, NamesAreExactBytesAndLaterValuesReplaceEarlierOnes) {
    ServerRedirectInfo table;
    table.ParseInto(ServiceKind::Grammar, "en_US->one:1");
    table.ParseInto(ServiceKind::Grammar, "en_US fr_FR->two:2");
    EXPECT_EQ(table.Find(ServiceKind::Grammar, "en_US"), (Target{"two", 2}));
    EXPECT_EQ(table.Find(ServiceKind::Grammar, "en_us"), std::nullopt);
    EXPECT_EQ(table.Find(ServiceKind::Grammar, ""), std::nullopt);
    table.Clear(ServiceKind::Grammar);
    EXPECT_EQ(table.Find(ServiceKind::Grammar, "fr_FR"), std::nullopt);
}
