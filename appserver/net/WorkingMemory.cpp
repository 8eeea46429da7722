#include "net/WorkingMemory.h"

#include <string>

#include "wire/WireEscape.h"

namespace {

struct Factor {
    std::string_view function;
    size_t factor;
};

// Measured peaks per body byte at 4 MiB (see the header): spelling 17-36, grammar 32-38, the
// JSON check (spelling and grammar in one call, every match an object of the answer) 91-118,
// thesaurus of a text 10-14.
constexpr size_t kText = 40;
constexpr size_t kMatches = 128;
constexpr size_t kThesaurus = 16;
constexpr Factor kFactors[] = {
    {"check_spelling4", kText},
    {"check_is_correct4", kText},
    {"get_all_suggestions4", kText},
    {"check_and_suggestions", kText},
    {"check_grammar", kText},
    {"check_matches", kMatches},
    {"check_selected_matches", kMatches},
    {"text_thesaurus", kThesaurus},
    {"text_antonyms", kThesaurus},
};

// No function name is longer: a longer first line names none of the listed ones.
constexpr size_t kLongestEscapedName = 64;

}  // namespace

size_t WorkingMemory::FactorFor(std::string_view body) {
    const size_t end = body.find_first_of("\r\n");
    const std::string_view line = body.substr(0, end);
    std::string name;
    if (line.size() > kLongestEscapedName || !wire::UnescapeLine(line, name)) return kDefaultFactor;
    for (const Factor& f : kFactors)
        if (f.function == name) return f.factor;
    return kDefaultFactor;
}

size_t WorkingMemory::BytesFor(std::string_view body) { return body.size() * FactorFor(body); }
