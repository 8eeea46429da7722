// Decoding of everything that reaches either side of the engine-server protocol: header look-up,
// request bodies, answer classification and result decoding. The first byte picks the number of
// expected results; the rest is the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wire/WireAnswer.h"
#include "wire/WireEscape.h"
#include "wire/WireHeader.h"
#include "wire/WireRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t expected = data[0] % 8;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    const size_t headerEnd = wire::FindHeaderEnd(input);
    const std::string_view block =
        input.substr(0, headerEnd == std::string_view::npos ? input.size() : headerEnd);
    (void)wire::ContentLengthOf(block);
    (void)wire::StrictContentLengthOf(block);

    const auto request = wire::ParseRequestBody(input);
    if (request.ok()) {
        const auto again = wire::ParseRequestBody(
            wire::BuildRequestBody(request.call.function, request.call.params));
        if (!again.ok() || again.call.params != request.call.params) __builtin_trap();
    }

    const auto answer = wire::ClassifyAnswer(input);
    std::vector<std::string> results;
    if (wire::DecodeResults(answer.rest, expected, results) == wire::kDecodeOk &&
        results.size() != expected)
        __builtin_trap();

    std::string line;
    if (wire::UnescapeLine(input, line) && wire::EscapeLine(line).find('\n') != std::string::npos)
        __builtin_trap();
    return 0;
}
