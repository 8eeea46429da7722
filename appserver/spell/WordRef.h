#pragma once
// One word of a UTF-8 text without a copy of it: where it is (UTF-16 code units of the text as
// sent, the unit of every position the protocol exchanges) and its bytes, a view into the text.
// The text must outlive the word.
#include <cstddef>
#include <string_view>

struct WordRef {
    size_t pos = 0;
    size_t len = 0;
    std::string_view utf8;
    bool inLink = false;  // part of a domain name, e-mail address or URL
};
