#include <gtest/gtest.h>

#include <string>

#include "kernel/filters/Acl_FLT.h"
#include "support/TestSupport.h"
#include "utils/logging/Logger.h"
#include "utils/logging/SimpleLogger.h"

namespace {

class AclFltTest : public ::testing::Test {
  protected:
    void SetUp() override {
        logger = dynamic_cast<SimpleLogger*>(&GetLogger());
        ASSERT_NE(logger, nullptr);
        previousLog = logger->path();
        logger->Init(dir.str() + "debug.log");
    }
    void TearDown() override { logger->Init(previousLog); }

    std::string Log() const {
        std::error_code ignored;
        return std::filesystem::exists(dir.path() / "debug.log", ignored) ? dir.Read("debug.log")
                                                                          : "";
    }
    void Run() { Acl_FLT().apply(map, data); }

    testsupport::TempDir dir;
    SimpleLogger* logger = nullptr;
    std::string previousLog;
    StringMap map;
    InternalData data;
};

TEST_F(AclFltTest, KeysOfTheFileReplaceWhatIsThere) {
    map["acl_file_name"] = dir.Write("acl.ini", "allowed_hosts=a.example\nspell_redirect=x\n");
    map["spell_redirect"] = "from ini";
    map["kept"] = "yes";
    Run();
    EXPECT_EQ(map["allowed_hosts"], "a.example");
    EXPECT_EQ(map["spell_redirect"], "x");
    EXPECT_EQ(map["kept"], "yes");
}

TEST_F(AclFltTest, NoNameMeansNothingToDo) {
    Run();
    EXPECT_EQ(map.count("acl_file_name"), 0u);
    map["acl_file_name"] = "";
    Run();
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(Log(), "");
}

TEST_F(AclFltTest, UnreadableFileIsLoggedAndTheRequestGoesOn) {
    map["acl_file_name"] = dir.str() + "missing.ini";
    map["cmd"] = "spell";
    EXPECT_NO_THROW(Run());
    EXPECT_EQ(map["cmd"], "spell");
    EXPECT_NE(Log().find("*ERROR* Acl_FLT::apply "), std::string::npos) << Log();
    EXPECT_NE(Log().find("missing.ini"), std::string::npos) << Log();
}

}  // namespace
