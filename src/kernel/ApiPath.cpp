#include "kernel/ApiPath.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kPrefix = "/v2/";
constexpr std::array<std::string_view, 5> kPaths = {"check", "languages", "words", "words/add",
                                                    "words/delete"};

}  // namespace

std::optional<std::string> ApiCommandOf(std::string_view pathInfo) {
    if (!pathInfo.starts_with(kPrefix)) return std::nullopt;
    std::string_view rest = pathInfo.substr(kPrefix.size());
    if (rest.ends_with('/')) rest.remove_suffix(1);
    if (std::find(kPaths.begin(), kPaths.end(), rest) == kPaths.end()) return kUnknownApiCommand;
    return "v2/" + std::string(rest);
}

bool IsApiCommand(std::string_view command) { return command.starts_with("v2/"); }
