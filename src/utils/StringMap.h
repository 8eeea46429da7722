#pragma once
// The request's string map: parameters, cookies, INI values and the internal keys framed by
// colons (":app_path:", ":template:", ...). Ordered by byte comparison of the keys. Reading an
// absent key with operator[] creates it empty: code throughout treats absent and empty alike.
// After Request_FLT every value holds valid UTF-8.
#include <map>
#include <string>

using StringMap = std::map<std::string, std::string>;
