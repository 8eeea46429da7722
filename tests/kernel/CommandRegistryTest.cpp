#include <gtest/gtest.h>

#include <typeinfo>

#include "cmdhandlers/Common/Default_CH.h"
#include "cmdhandlers/Relay/Default_CH.h"
#include "cmdhandlers/Relay/Proxy_CH.h"
#include "kernel/CommandRegistry.h"

namespace {
template <typename Expected>
bool ResolvesTo(Program program, const std::string& command) {
    auto factory = CommandRegistry::Of(program).Resolve(command);
    if (factory == nullptr) return false;
    CommandHandlerRef handler(factory());
    return typeid(*handler) == typeid(Expected);
}
}  // namespace

TEST(CommandRegistryTest, UnknownCommandsRunDefaultHandler) {
    EXPECT_TRUE(ResolvesTo<orthd::Default_CH>(Program::Orthd, "no_such_command"));
    EXPECT_TRUE(ResolvesTo<orthd::Default_CH>(Program::Orthd, ""));
    // The relay forwards what it does not answer itself; "default" is its last resort.
    EXPECT_TRUE(ResolvesTo<ferrix::Proxy_CH>(Program::Ferrix, "no_such_command"));
    EXPECT_TRUE(ResolvesTo<ferrix::Proxy_CH>(Program::Ferrix, ""));
}

TEST(CommandRegistryTest, RegisteringTwiceKeepsTheLastFactory) {
    CommandRegistry registry;
    registry.Register("x", &MakeHandler<orthd::Default_CH>);
    registry.Register("x", &MakeHandler<ferrix::Default_CH>);
    CommandHandlerRef handler(registry.Find("x")());
    EXPECT_EQ(typeid(*handler), typeid(ferrix::Default_CH));
    EXPECT_EQ(registry.Resolve("y"), nullptr);
}
