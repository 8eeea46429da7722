#include <gtest/gtest.h>

#include "admin/MetabaseFile.h"

namespace {

using namespace vdirkit;

TEST(MetabaseFileTest, RoundTripKeepsOrderTypesAndValues) {
    MetabaseKey root = MetabaseFile::FreshTree();
    root.Add("/LM/W3SVC/2/Root");
    root.Add("/LM/W3SVC/1");
    MetabaseKey* site = root.Find("/LM/W3SVC/2");
    site->SetRecord(MetabaseRecord::Text(1015, 1, 1, "Grüße \"quoted\"\n"));
    site->SetRecord(MetabaseRecord::Number(6016, 1, 2, 4294967295u));
    site->SetRecord(MetabaseRecord::Texts(1023, 0, 1, {":80:", ""}));
    site->SetRecord({77, 0, 0, MetabaseDataType::Binary, std::vector<uint8_t>{0, 0xab, 0xff}});
    site->SetRecord({78, 0, 0, MetabaseDataType::ExpandString, std::string("%TEMP%")});
    MetabaseKey parsed;
    ASSERT_EQ(MetabaseFile::Parse(MetabaseFile::Serialize(root), parsed), 0u);
    EXPECT_EQ(parsed, root);
    EXPECT_EQ(parsed.Find("/LM/W3SVC")->children()[0].name(), "2");
}

TEST(MetabaseFileTest, BlankTextIsTheFreshTree) {
    MetabaseKey parsed;
    ASSERT_EQ(MetabaseFile::Parse(" \n", parsed), 0u);
    EXPECT_EQ(parsed, MetabaseFile::FreshTree());
}

TEST(MetabaseFileTest, RefusesEveryMalformedDocumentWithoutTouchingTheTree) {
    const std::string key = R"({"format":1,"keys":[{"name":"LM","properties":[)";
    const char* cases[] = {
        "{",
        "[]",
        R"({"keys":[]})",
        R"({"format":2,"keys":[]})",
        R"({"format":1,"keys":{}})",
        R"({"format":1,"keys":[{"name":""}]})",
        R"({"format":1,"keys":[{"name":"a/b"}]})",
        R"({"format":1,"keys":[{"name":"a\u0000"}]})",
        R"({"format":1,"keys":[{"name":"A"},{"name":"a"}]})",
        R"({"format":1,"keys":[{"name":7}]})",
        R"({"format":1,"keys":[{"name":"a","keys":[{"name":"b","keys":"x"}]}]})",
    };
    const char* properties[] = {
        R"({"id":1,"type":"number","value":-1})",
        R"({"id":1,"type":"number","value":4294967296})",
        R"({"id":1,"type":"number","value":1.5})",
        R"({"id":1,"type":"string","value":1})",
        R"({"id":1,"type":"multiString","value":["a",1]})",
        R"({"id":1,"type":"binary","value":"abc"})",
        R"({"id":1,"type":"binary","value":"zz"})",
        R"({"id":1,"type":"dword","value":1})",
        R"({"id":1,"type":"string"})",
        R"({"type":"string","value":"x"})",
        R"({"id":1,"type":"string","value":"x"},{"id":1,"type":"string","value":"y"})",
    };
    std::vector<std::string> documents(std::begin(cases), std::end(cases));
    for (const char* property : properties) documents.push_back(key + property + "]}]}");
    std::string deep = "{\"format\":1,\"keys\":[";
    for (size_t i = 0; i <= MetabaseFile::kMaxKeyDepth; ++i) deep += "{\"name\":\"k\",\"keys\":[";
    for (size_t i = 0; i <= MetabaseFile::kMaxKeyDepth; ++i) deep += "]}";
    documents.push_back(deep + "]}");
    documents.push_back("{\"format\":1,\"keys\":[{\"name\":\"\xff\"}]}");

    for (const auto& document : documents) {
        MetabaseKey root = MetabaseFile::FreshTree();
        EXPECT_EQ(MetabaseFile::Parse(document, root), MetabaseError::kInvalidData) << document;
        EXPECT_EQ(root, MetabaseFile::FreshTree()) << document;
    }
}

}  // namespace
