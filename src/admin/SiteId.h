#pragma once
// Sites are the keys below kSitesPath whose names are positive decimal numbers; other keys there
// (service settings, filters) are not sites.
#include <climits>
#include <string_view>

namespace vdirkit {

// The site identifier a key name stands for, or 0. Only the canonical form counts ("7", not
// "07", "7a" or "+7"), so that the identifier leads back to the same key.
inline int SiteIdFromKeyName(std::string_view name) {
    if (name.empty() || name.size() > 9 || name[0] == '0') return 0;
    int id = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') return 0;
        id = id * 10 + (c - '0');
    }
    return id;
}

}  // namespace vdirkit
