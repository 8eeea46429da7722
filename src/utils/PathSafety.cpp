#include "utils/PathSafety.h"

bool IsSafePathComponent(std::string_view component) {
    if (component.empty() || component.find("..") != std::string_view::npos) return false;
    for (unsigned char c : component)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
    return true;
}
