#include <gtest/gtest.h>

#include "wire/WireAnswer.h"
#include "wire/WireHeader.h"

namespace {

std::string ContentOf(const std::string& message) {
    const size_t h = wire::FindHeaderEnd(message);
    EXPECT_NE(h, std::string::npos);
    const int length = wire::ContentLengthOf(std::string_view(message).substr(0, h));
    EXPECT_EQ(static_cast<size_t>(length), message.size() - h);
    return message.substr(h);
}

}  // namespace

TEST(WireAnswerTest, OkAnswerRoundTripsThroughTheClientDecoder) {
    const std::vector<std::string> results = {"5,3;", "", "line1\nline2", "\xD7\xA9\\"};
    const std::string message = wire::BuildOkAnswer(results);
    EXPECT_EQ(message.rfind("HTTP/1.0 200 OK\r\nContent-length: ", 0), 0u);
    const std::string content = ContentOf(message);
    const auto answer = wire::ClassifyAnswer(content);
    ASSERT_EQ(answer.kind, wire::AnswerKind::kOk);
    std::vector<std::string> decoded;
    EXPECT_EQ(wire::DecodeResults(answer.rest, results.size(), decoded), wire::kDecodeOk);
    EXPECT_EQ(decoded, results);
}

TEST(WireAnswerTest, ErrorAnswerKeepsTheMessageOnOneLine) {
    const std::string content = ContentOf(wire::BuildErrorAnswer("Bad\r\nthing"));
    EXPECT_EQ(content, "VerbarError\r\nBad  thing");
    const auto answer = wire::ClassifyAnswer(content);
    EXPECT_EQ(answer.kind, wire::AnswerKind::kError);
    EXPECT_EQ(answer.rest, "Bad  thing");
}

TEST(WireAnswerTest, FirstLineIsComparedWithoutCaseAndForEqualLength) {
    EXPECT_EQ(wire::ClassifyAnswer("verbarok\r\nx\r\n").kind, wire::AnswerKind::kOk);
    EXPECT_EQ(wire::ClassifyAnswer("VERBARERROR\nsentence").kind, wire::AnswerKind::kError);
    EXPECT_EQ(wire::ClassifyAnswer("VerbarOKAY\r\n").kind, wire::AnswerKind::kUnknown);
    EXPECT_EQ(wire::ClassifyAnswer("Hello\r\n").kind, wire::AnswerKind::kUnknown);
    EXPECT_EQ(wire::ClassifyAnswer("").kind, wire::AnswerKind::kUnknown);
    EXPECT_EQ(wire::ClassifyAnswer("VerbarOK").kind, wire::AnswerKind::kOk);
}

struct DecodeRow {
    const char* name;
    std::string text;
    size_t expected;
    int code;
    std::vector<std::string> results;
};

TEST(WireAnswerTest, DecodeTable) {
    const DecodeRow rows[] = {
        {"one word", "word\r\n", 1, wire::kDecodeOk, {"word"}},
        {"nothing for one result", "", 1, wire::kDecodeOk, {""}},
        {"last result empty after LF", "a\r\n", 2, wire::kDecodeOk, {"a", ""}},
        {"line without line end", "a", 1, wire::kDecodeOk, {"a"}},
        {"two lines for one", "a\r\nb\r\n", 1, wire::kDecodeExtraText, {}},
        {"blank line after the results", "a\r\n\r\n", 1, wire::kDecodeExtraText, {}},
        {"too few, no line end", "a", 2, wire::kDecodeMissingResult, {}},
        {"two missing", "a\r\n", 3, wire::kDecodeMissingResult, {}},
        {"backslash q", "a\\qb\r\n", 1, wire::kDecodeBadEscape, {}},
        {"backslash at end", "a\\\r\n", 1, wire::kDecodeBadEscape, {}},
        {"zero expected, nothing", "", 0, wire::kDecodeOk, {}},
        {"zero expected, something", "\r\n", 0, wire::kDecodeExtraText, {}},
        {"four results of a grammar check",
         "\r\n\r\n0,2;\r\n1\r\n",
         4,
         wire::kDecodeOk,
         {"", "", "0,2;", "1"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> results = {"stale"};
        EXPECT_EQ(wire::DecodeResults(row.text, row.expected, results), row.code) << row.name;
        EXPECT_EQ(results, row.results) << row.name;
    }
}
