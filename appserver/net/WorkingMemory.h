#pragma once
// The memory a call takes while it is answered, as a multiple of its request body: what the
// in-flight budget holds for the call once its body is whole and its function known. The body
// alone is held while it is read.
//
// The factors are the resident memory a call of 4 MiB adds to the server at its peak, divided
// by its body's size (working_memory_bench, rounded up with a margin): a text function keeps a
// word list, the distinct words and the problems found beside the text and its answer. The text
// that costs most for each was measured (distinct made-up words for spelling, a misspelling or
// grammar problem every few words otherwise). A function not listed here reads no text: it
// copies its parameters a few times (one word of 4 MiB for suggestions or synonyms: 5-9).
// Pure functions, thread-safe.
#include <cstddef>
#include <string_view>

class WorkingMemory {
  public:
    // The factor of every function not listed.
    static constexpr size_t kDefaultFactor = 10;

    // The factor of the function whose request `body` holds (its first line, wire-escaped).
    static size_t FactorFor(std::string_view body);

    // The bytes a call with `body` holds at its peak: the body's size times its factor.
    static size_t BytesFor(std::string_view body);
};
