#pragma once
// Language codes between the JSON API ("en-US", the form its clients send and expect) and the
// engine server ("en_US"), and the English names the API shows ("English (US)").
#include <string>
#include <string_view>

class LanguageNames {
  public:
    // "en-US" -> "en_US"; "auto" stays.
    static std::string EngineCode(std::string_view apiCode);
    // "en_US" -> "en-US".
    static std::string ApiCode(std::string_view engineCode);
    // "English (US)" for "en_US"; the bare language's name for a region without its own
    // ("German" for "de_LU"); the code itself for an unknown language.
    static std::string Name(std::string_view engineCode);
};
