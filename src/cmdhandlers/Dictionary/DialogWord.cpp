#include "cmdhandlers/Dictionary/DialogWord.h"

#include <charconv>
#include <stdexcept>

#include "kernel/RequestDecoding.h"

namespace {

int RequestNumber(const std::string& text, const char* name) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || rest != end)
        throw std::invalid_argument(std::string("'") + name + "' is not a decimal number");
    return value;
}

}  // namespace

DialogWord DialogWord::Take(StringMap& map, const TextProcessor& processor) {
    DialogWord word;
    word.position = RequestNumber(map["pos"], "pos");
    word.length = RequestNumber(map["len"], "len");
    word.text = processor.GetWord(word.position, word.length);
    map[":word_org:"] = word.text;
    return word;
}

std::string LowerCommand(StringMap& map) { return RequestDecoding::AsciiLower(map["cmd"]); }
