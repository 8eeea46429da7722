#pragma once
// The JSON API is reached through the path after the program's name (CGI "PATH_INFO"), such as
// ".../orthd.cgi/v2/check" or, behind a web server that routes "/v2/" to the program,
// "/v2/check". Its commands are named "v2/" + the path's rest: "v2/check", "v2/languages",
// "v2/words", "v2/words/add", "v2/words/delete"; any other path below "/v2/" is "v2/unknown".
// The command comes from the path alone: a "cmd" parameter cannot turn such a request into
// another command.
#include <optional>
#include <string>
#include <string_view>

inline constexpr char kUnknownApiCommand[] = "v2/unknown";

// The command for `pathInfo`; nullopt when the path is not below "/v2/".
std::optional<std::string> ApiCommandOf(std::string_view pathInfo);

// True for the commands ApiCommandOf gives.
bool IsApiCommand(std::string_view command);
