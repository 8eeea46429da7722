#pragma once
// One grammar problem: a range of the text (UTF-16 code units), the rule that found it, an
// explanation (HTML) and the replacement variants for the range.
#include <cstddef>
#include <string>
#include <vector>

struct GrammarProblem {
    size_t pos = 0;
    size_t len = 0;
    int rule = 0;
    std::string explanation;
    std::vector<std::string> variants;
};
