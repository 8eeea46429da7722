#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <sstream>

#include "kernel/ScriptAnswer.h"
#include "orthd/Response_FLT.h"
#include "utils/InternalDataKeys.h"

namespace {

std::string Gunzip(const std::string& data) {
    z_stream stream{};
    inflateInit2(&stream, 15 + 16);
    std::string out(1 << 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : "<broken>";
}

TEST(ScriptAnswerTest, AcceptEncodingValues) {
    const struct {
        const char* header;
        bool gzip;
    } rows[] = {
        {"gzip, deflate, br", true},
        {"GZIP", true},
        {"br;q=1, gzip;q=0.5", true},
        {"gzip;q=0", false},
        {"gzip;q=0.000", false},
        {"deflate", false},
        {"", false},
        {"xgzip, gzipx", false},
        {" , ,gzip", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScriptAnswer::AcceptsGzip(row.header), row.gzip) << row.header;
}

TEST(ScriptAnswerTest, IfNoneMatchValues) {
    const std::string tag = ScriptAnswer::ETagOf("body");
    const struct {
        std::string header;
        bool matches;
    } rows[] = {
        {tag, true}, {"W/" + tag, true},   {"\"other\", " + tag, true}, {"*", true},
        {"", false}, {"\"other\"", false}, {tag.substr(1), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScriptAnswer::Matches(row.header, tag), row.matches) << row.header;
}

TEST(ScriptAnswerTest, ETagFollowsTheBytes) {
    EXPECT_EQ(ScriptAnswer::ETagOf("abc"), ScriptAnswer::ETagOf("abc"));
    EXPECT_NE(ScriptAnswer::ETagOf("abc"), ScriptAnswer::ETagOf("abd"));
    EXPECT_NE(ScriptAnswer::ETagOf(""), ScriptAnswer::ETagOf(std::string(1, '\0')));
}

TEST(ScriptAnswerTest, CompressedWhenAcceptedAndNotModifiedForEitherTag) {
    const std::string body(5000, 'x');
    const ScriptAnswer plain(body, "", "");
    EXPECT_EQ(plain.Body(), body);
    EXPECT_EQ(plain.HeaderLines().find("Content-Encoding"), std::string::npos);

    const ScriptAnswer zipped(body, "", "gzip");
    EXPECT_LT(zipped.Body().size(), 100u);
    EXPECT_EQ(Gunzip(zipped.Body()), body);
    EXPECT_NE(zipped.HeaderLines().find("Content-Encoding: gzip\r\n"), std::string::npos);

    for (const ScriptAnswer* first : {&plain, &zipped}) {
        const std::string lines = first->HeaderLines();
        const size_t at = lines.find("ETag: ") + 6;
        const std::string tag = lines.substr(at, lines.find("\r\n", at) - at);
        for (const char* encoding : {"", "gzip"}) {
            const ScriptAnswer again(body, tag, encoding);
            EXPECT_TRUE(again.NotModified()) << tag << " " << encoding;
            EXPECT_EQ(again.Body(), "");
            EXPECT_EQ(again.HeaderLines().rfind("Status: 304 Not Modified\r\n", 0), 0u);
        }
    }
    EXPECT_FALSE(ScriptAnswer(body + "!", ScriptAnswer::ETagOf(body), "").NotModified());
}

// The response stage: a script found is cacheable, a failed script command is not.
TEST(ScriptAnswerTest, ResponseStageCachesOnlyAFoundScript) {
    setenv("HTTP_ACCEPT_ENCODING", "gzip", 1);
    unsetenv("HTTP_IF_NONE_MATCH");
    const auto answer = [](bool found) {
        StringMap map;
        InternalData data;
        map["cmd"] = "script";
        map[":template:"] = "var x = 1;";
        data.Set<std::string>(idkey::HttpCacheControl, found ? "" : "No-Cache");
        data.Set<bool>(idkey::ExpandTemplate, false);
        std::ostringstream out;
        orthd::Response_FLT(out, [] { return std::time_t(0); }).apply(map, data);
        return out.str();
    };
    const std::string found = answer(true);
    EXPECT_NE(found.find("Content-Encoding: gzip\r\n"), std::string::npos);
    EXPECT_NE(found.find("Cache-Control: max-age=3600\r\n"), std::string::npos);
    EXPECT_EQ(found.find("Set-Cookie"), std::string::npos);
    EXPECT_EQ(found.find("Expires:"), std::string::npos);
    EXPECT_EQ(Gunzip(found.substr(found.find("\r\n\r\n") + 4)), "var x = 1;");
    const std::string failed = answer(false);
    EXPECT_EQ(failed.find("ETag"), std::string::npos);
    EXPECT_NE(failed.find("Cache-Control:private,max-age=0"), std::string::npos);
    unsetenv("HTTP_ACCEPT_ENCODING");
}

}  // namespace
