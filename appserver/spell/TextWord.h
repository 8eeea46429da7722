#pragma once
// One word of a text: where it is (UTF-16 code units of the text as sent) and its UTF-8 form.
#include <cstddef>
#include <string>

struct TextWord {
    size_t pos = 0;
    size_t len = 0;
    std::string utf8;
    bool inLink = false;  // part of a domain name, e-mail address or URL
};
