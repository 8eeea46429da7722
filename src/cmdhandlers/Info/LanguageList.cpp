#include "cmdhandlers/Info/LanguageList.h"

#include <algorithm>

namespace info {
namespace {

bool IsPrintableNonBlank(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7F;
}

}  // namespace

std::vector<std::string> LanguageCodes(std::string_view list) {
    std::vector<std::string> codes;
    std::string token;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '[') {
            const size_t close = list.find(']', i + 1);
            i = close == std::string_view::npos ? list.size() : close;
            continue;
        }
        if (IsPrintableNonBlank(list[i])) {
            token += list[i];
        } else if (!token.empty()) {
            codes.push_back(std::move(token));
            token.clear();
        }
    }
    if (!token.empty()) codes.push_back(std::move(token));
    return codes;
}

std::vector<std::string> SectionMarkers(std::string_view list) {
    std::vector<std::string> markers;
    for (size_t open = list.find('['); open != std::string_view::npos;
         open = list.find('[', open + 1)) {
        const size_t close = list.find(']', open + 1);
        if (close == std::string_view::npos) break;
        markers.emplace_back(list.substr(open + 1, close - open - 1));
        open = close;
    }
    return markers;
}

bool OccursBetween(std::string_view list, std::string_view code, std::string_view from,
                   std::string_view to) {
    if (code.empty()) return false;
    const std::string start = "[" + std::string(from) + "]";
    const size_t begin = list.find(start);
    if (begin == std::string_view::npos) return false;
    std::string_view section = list.substr(begin + start.size());
    const size_t end = section.find("[" + std::string(to) + "]");
    if (end != std::string_view::npos) section = section.substr(0, end);
    const std::vector<std::string> codes = LanguageCodes(section);
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace info
