#include <gtest/gtest.h>

#include "admin/SiteSelection.h"

namespace {

using vdirkit::SiteSelection;
using Outcome = SiteSelection::Outcome;

struct KeyCase {
    const char* keys;
    Outcome outcome;
    size_t position;
};

// Feeds the keys of a 12-entry list with the first preselected; an Escape followed directly by
// more bytes arrives as one sequence.
std::pair<Outcome, size_t> Press(std::string_view keys) {
    SiteSelection selection(12, 0);
    for (size_t i = 0; i < keys.size(); ++i) {
        const auto outcome = selection.Feed(keys[i], i + 1 < keys.size());
        if (outcome != Outcome::Continue) return {outcome, selection.position()};
    }
    return {Outcome::Continue, selection.position()};
}

TEST(SiteSelectionTest, Keys) {
    const KeyCase cases[] = {
        {"\r", Outcome::Ok, 0},
        {"\n", Outcome::Ok, 0},
        {"\x1b", Outcome::Cancel, 0},
        {"q", Outcome::Cancel, 0},
        {"2\r", Outcome::Ok, 1},
        {"12\r", Outcome::Ok, 11},
        {"13\r", Outcome::Ok, 2},  // no entry 13: the 3 starts over
        {"0\r", Outcome::Ok, 0},
        {"jjk\r", Outcome::Ok, 1},
        {"\x1b[B\x1b[B\r", Outcome::Ok, 2},
        {"\x1b[A\r", Outcome::Ok, 0},  // stays on the first entry
        {"5\x1bOA\r", Outcome::Ok, 3},
        {"3\x1bx", Outcome::Cancel, 2},
        {"x", Outcome::Continue, 0},
    };
    for (const auto& c : cases) {
        const auto [outcome, position] = Press(c.keys);
        EXPECT_EQ(outcome, c.outcome) << c.keys;
        EXPECT_EQ(position, c.position) << c.keys;
    }
    SiteSelection last(3, 2);
    last.Feed('j', false);
    EXPECT_EQ(last.position(), 2u);
}

}  // namespace
