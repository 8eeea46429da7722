#include "kernel/settings/ReferenceExpander.h"

namespace {
constexpr std::string_view kOpen = "<.";
constexpr std::string_view kClose = ".>";
}  // namespace

std::optional<std::string> ReferenceExpander::Expand(std::string_view text) const {
    std::string out;
    Budget budget;
    if (!expandInto(text, 0, out, budget)) return std::nullopt;
    return out;
}

std::optional<std::string> ReferenceExpander::lookup(const std::string& name) const {
    auto entry = map_.find(name);
    if (entry != map_.end()) return entry->second;
    // Names the environment cannot hold would be cut short or misread by the lookup.
    if (name.empty() || name.find('=') != std::string::npos || name.find('\0') != std::string::npos)
        return std::nullopt;
    return environment_(name);
}

bool ReferenceExpander::expandInto(std::string_view text, int depth, std::string& out,
                                   Budget& budget) const {
    size_t scan = 0;
    while (true) {
        const size_t open = text.find(kOpen, scan);
        const size_t close =
            open == std::string_view::npos ? open : text.find(kClose, open + kOpen.size());
        if (close == std::string_view::npos) {
            out.append(text.substr(scan));
            return out.size() <= kMaxExpandedBytes;
        }
        out.append(text.substr(scan, open - scan));
        const auto value =
            lookup(std::string(text.substr(open + kOpen.size(), close - open - kOpen.size())));
        if (value) {
            if (++budget.references > kMaxReferencesPerValue || depth + 1 > kMaxReferenceDepth)
                return false;
            if (!expandInto(*value, depth + 1, out, budget)) return false;
            scan = close + kClose.size();
        } else {
            // Unknown name: keep the reference and look for the next one from inside its ".>".
            out.append(text.substr(open, close + 1 - open));
            scan = close + 1;
        }
        if (out.size() > kMaxExpandedBytes) return false;
    }
}
