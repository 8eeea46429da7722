#include <gtest/gtest.h>
#include <sys/time.h>

#include <string>
#include <vector>

#include "kernel/ServerSettingHandler.h"
#include "kernel/filters/IniFileLoad_FLT.h"
#include "support/TestSupport.h"
#include "utils/InternalDataKeys.h"

namespace {

// Handlers of this test live in ferrix's process-wide list, as real handlers do, under names no
// real handler uses. Their defaults only touch this trace, so other tests that run the ferrix
// INI stage see nothing of them.
std::vector<std::string>& Trace() {
    static std::vector<std::string> trace;
    return trace;
}

class TraceHandler : public ServerSettingHandler {
  public:
    explicit TraceHandler(std::string name)
        : ServerSettingHandler(Program::Ferrix), name_(std::move(name)) {}
    void setDefault(StringMap&, InternalData&) override { Trace().push_back("default " + name_); }
    void apply(StringMap&, InternalData&, const std::string& value) override {
        Trace().push_back("apply " + name_ + "=" + value);
    }
    std::string name() const override { return name_; }

  private:
    std::string name_;
};

// Stands in for include_file: sets values of keys on both sides of its own key.
class OverwritingHandler : public TraceHandler {
  public:
    OverwritingHandler() : TraceHandler("ini_test_m") {}
    void apply(StringMap& map, InternalData& data, const std::string& value) override {
        TraceHandler::apply(map, data, value);
        map["ini_test_0"] = "handler";
        map["ini_test_zz"] = "handler";
    }
};

class ThrowingHandler : public TraceHandler {
  public:
    ThrowingHandler() : TraceHandler("ini_test_throw") {}
    void apply(StringMap&, InternalData&, const std::string& value) override {
        if (value == "filter") VERB_THROW(Filter::exception, "handler refused");
        if (value == "std") throw std::runtime_error("boom");
        throw 42;
    }
};

TraceHandler handlerA("ini_test_a");
TraceHandler handlerZ("ini_test_z");
OverwritingHandler handlerM;
ThrowingHandler handlerThrow;

std::vector<std::string> OwnDefaults() {
    std::vector<std::string> defaults;
    for (const auto& entry : Trace())
        if (entry.starts_with("default ")) defaults.push_back(entry);
    return defaults;
}

class IniFileLoadTest : public ::testing::Test {
  protected:
    IniFileLoadTest() {
        Trace().clear();
        map[":app_path:"] = dir.str();
        map[":ini_name:"] = "t.ini";
    }
    void Run(const std::string& ini, Program program = Program::Ferrix) {
        dir.Write("t.ini", ini);
        IniFileLoad_FLT(program).apply(map, data);
    }
    const std::vector<std::string>& IniKeys() {
        return data.Get<std::vector<std::string>>(idkey::IniKeys);
    }
    std::string Applied() {
        std::string applied;
        for (const auto& entry : Trace())
            if (entry.starts_with("apply ")) applied += entry + ";";
        return applied;
    }

    testsupport::TempDir dir;
    StringMap map;
    InternalData data;
};

TEST_F(IniFileLoadTest, PlainValuesReplaceRequestParametersAndAreListedInStoredOrder) {
    map["lang"] = "from-request";
    Run("lang=from-ini\nb=2\n");
    EXPECT_EQ(map["lang"], "from-ini");
    EXPECT_EQ(map["b"], "2");
    EXPECT_EQ(IniKeys(), (std::vector<std::string>{"b", "lang"}));
}

TEST_F(IniFileLoadTest, HandledKeysGoToTheirHandlerOnlyAndCaseMatters) {
    Run("ini_test_a=v\nINI_TEST_A=w\n");
    EXPECT_EQ(Applied(), "apply ini_test_a=v;");
    EXPECT_EQ(map.count("ini_test_a"), 0u);
    EXPECT_EQ(map["INI_TEST_A"], "w");
    EXPECT_EQ(IniKeys(), (std::vector<std::string>{"INI_TEST_A"}));
}

TEST_F(IniFileLoadTest, HandlersOfTheOtherProgramAreNotConsulted) {
    Run("ini_test_a=v\n", Program::Orthd);
    EXPECT_EQ(Applied(), "");
    EXPECT_EQ(map["ini_test_a"], "v");
    EXPECT_TRUE(OwnDefaults().empty());
}

TEST_F(IniFileLoadTest, HandlerRunsAtItsKeyPositionSoOnlyLaterKeysOverrideIt) {
    Run("ini_test_0=main\nini_test_m=x\nini_test_zz=main\n");
    EXPECT_EQ(map["ini_test_0"], "handler");
    EXPECT_EQ(map["ini_test_zz"], "main");
}

TEST_F(IniFileLoadTest, StoresFileModificationTime) {
    const auto path = dir.Write("t.ini", "a=1\n");
    const timeval times[2] = {{1234567890, 0}, {1234567890, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
    IniFileLoad_FLT(Program::Ferrix).apply(map, data);
    EXPECT_EQ(data.Get<long long>(idkey::IniFileTime), 1234567890LL);
}

TEST_F(IniFileLoadTest, EmptyFileGivesNoPairsButEveryDefault) {
    Run("# only a comment\n");
    EXPECT_TRUE(IniKeys().empty());
    EXPECT_EQ(OwnDefaults(),
              (std::vector<std::string>{"default ini_test_a", "default ini_test_m",
                                        "default ini_test_throw", "default ini_test_z"}));
}

TEST_F(IniFileLoadTest, MissingFileFailsAfterDefaultsWithPathInMessage) {
    try {
        IniFileLoad_FLT(Program::Ferrix).apply(map, data);
        FAIL() << "no exception";
    } catch (const IniFileLoad_FLT::IniLdrException& e) {
        EXPECT_EQ(e.message(),
                  "IniFileLoader::apply() - internal error. Can not open: " + dir.str() + "t.ini");
        EXPECT_EQ(e.file(), "kernel/filters/IniFileLoad_FLT");
    }
    EXPECT_EQ(OwnDefaults().size(), 4u);
    EXPECT_TRUE(IniKeys().empty());
    EXPECT_FALSE(data.Find(idkey::IniFileTime));
}

TEST_F(IniFileLoadTest, HandlerFilterExceptionPassesThroughAndEarlierValuesStay) {
    try {
        Run("ini_test_0=kept\nini_test_throw=filter\nini_test_zz=never\n");
        FAIL() << "no exception";
    } catch (const IniFileLoad_FLT::IniLdrException&) {
        FAIL() << "wrapped";
    } catch (const Filter::exception& e) {
        EXPECT_EQ(e.message(), "handler refused");
    }
    EXPECT_EQ(map["ini_test_0"], "kept");
    EXPECT_EQ(map.count("ini_test_zz"), 0u);
    EXPECT_EQ(IniKeys(), (std::vector<std::string>{"ini_test_0"}));
}

TEST_F(IniFileLoadTest, HandlerStandardExceptionIsWrappedWithItsText) {
    try {
        Run("ini_test_throw=std\n");
        FAIL() << "no exception";
    } catch (const IniFileLoad_FLT::IniLdrException& e) {
        EXPECT_EQ(e.message(), "IniFileLoader::apply() - internal error.boom");
    }
}

TEST_F(IniFileLoadTest, HandlerOtherFailureGivesBareMessage) {
    try {
        Run("ini_test_throw=other\n");
        FAIL() << "no exception";
    } catch (const IniFileLoad_FLT::IniLdrException& e) {
        EXPECT_EQ(e.message(), "IniFileLoader::apply() - internal error.");
    }
}

}  // namespace
