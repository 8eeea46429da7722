#pragma once
// The HTML attribute names (lower case, UTF-16) a kept tag may keep. Empty means "not applied".
#include <set>
#include <string>

struct AttributeWhiteList {
    std::set<std::u16string> names;
    bool operator==(const AttributeWhiteList&) const = default;
};
