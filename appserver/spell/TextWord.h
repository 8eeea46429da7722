#pragma once
// One word of a UTF-16 text: where it is (code units of the text as sent). No copy of its
// letters: a long text has a word every few characters, and a string per word made a 4 MiB
// text's word list several times the size of the text.
#include <cstddef>

struct TextWord {
    size_t pos = 0;
    size_t len = 0;
    bool inLink = false;  // part of a domain name, e-mail address or URL
};
