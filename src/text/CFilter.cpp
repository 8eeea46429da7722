#include "text/CFilter.h"

namespace {

bool HasMarker(std::u16string_view markers, char16_t sign, std::u16string_view name) {
    std::u16string marker;
    marker.reserve(name.size() + 3);
    marker += u'[';
    marker += sign;
    marker += name;
    marker += u']';
    return markers.find(marker) != std::u16string_view::npos;
}

}  // namespace

CFilter::CFilter(ElementKind kind, char16_t opens, char16_t closes, bool mergesRuns,
                 std::u16string_view ownSwitch, std::u16string_view groupSwitch)
    : kind_(kind),
      opens_(opens),
      closes_(closes),
      mergesRuns_(mergesRuns),
      ownSwitch_(ownSwitch),
      groupSwitch_(groupSwitch) {}

void CFilter::ReadSwitches(std::u16string_view markers) {
    const bool ownOff = HasMarker(markers, u'-', ownSwitch_);
    const bool ownOn = HasMarker(markers, u'+', ownSwitch_);
    const bool groupOff = HasMarker(markers, u'-', groupSwitch_);
    const bool groupOn = HasMarker(markers, u'+', groupSwitch_);
    const bool allOff = HasMarker(markers, u'-', u"allf");
    enabled_ = !(ownOff || (groupOff && !ownOn) || (allOff && !groupOn && !ownOn));
}

void CFilter::BeginText() { searchValid_ = false; }

bool CFilter::IsNameChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           c >= 0x80;
}

std::size_t CFilter::FindClosing(const std::u16string& text, std::size_t from) {
    const bool reusable = searchValid_ && searchedFrom_ <= from &&
                          (closingAt_ == std::u16string::npos || closingAt_ >= from);
    if (!reusable) {
        closingAt_ = text.find(closes_, from);
        searchedFrom_ = from;
        searchValid_ = true;
    }
    return closingAt_;
}

std::u16string_view CFilter::CollectRun(const std::u16string& text, std::size_t position) {
    const std::size_t closing = FindClosing(text, position + 1);
    if (closing == std::u16string::npos) return {};
    return std::u16string_view(text).substr(position, closing - position + 1);
}

std::u16string CFilter::RunName(std::u16string_view run, std::size_t maxLength) {
    std::u16string name;
    for (char16_t c : run) {
        if (c == u' ') break;
        if (!IsNameChar(c)) continue;
        name += c;
        if (name.size() > maxLength) break;
    }
    return name;
}
