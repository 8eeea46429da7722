#pragma once
// Language names as requests and dictionaries spell them: "en_US", "he", "vi_VN".
#include <string>
#include <string_view>

class LanguageName {
  public:
    // Two or three lower-case letters, optionally "_" and two upper-case letters.
    static bool LooksLikeLanguage(std::string_view name);
    // "en-us" and "en_us" become "en_US"; other text is returned unchanged.
    static std::string Normalize(std::string_view name);
    // "en_US" -> "en".
    static std::string BaseOf(std::string_view name);
};
