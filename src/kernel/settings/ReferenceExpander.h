#pragma once
// Expands the references "<." name ".>" inside a configuration value: a name that is a
// string-map key (even with an empty value) gives that value, else an environment variable of
// that name gives its value; inserted values are expanded in turn. A name that is neither stays
// literally in place; an unterminated "<." leaves the rest of the text as it is.
//
// Values that refer to themselves, directly or through others, would grow without end; so would
// a few values that each refer to the next many times. Expansion therefore stops and fails when
// references nest deeper than kMaxReferenceDepth, when more than kMaxReferencesPerValue are
// resolved, or when the text grows past kMaxExpandedBytes; the caller keeps the value as written.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "utils/StringMap.h"

class ReferenceExpander {
  public:
    static constexpr int kMaxReferenceDepth = 16;
    static constexpr std::size_t kMaxReferencesPerValue = 10000;
    static constexpr std::size_t kMaxExpandedBytes = 1 << 20;

    // The value of an environment variable, nullopt when it is not set.
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // `map` must outlive the expander; lookups see its current state.
    ReferenceExpander(const StringMap& map, Environment environment)
        : map_(map), environment_(std::move(environment)) {}

    // The expansion of `text`, or nullopt when a limit was reached.
    std::optional<std::string> Expand(std::string_view text) const;

  private:
    struct Budget {
        std::size_t references = 0;
    };

    std::optional<std::string> lookup(const std::string& name) const;
    bool expandInto(std::string_view text, int depth, std::string& out, Budget& budget) const;

    const StringMap& map_;
    Environment environment_;
};
