#pragma once
// The HTML tag names a request may keep (UTF-16). Empty means "not applied".
#include <set>
#include <string>

struct TagWhiteList {
    std::set<std::u16string> names;
    bool operator==(const TagWhiteList&) const = default;
};
