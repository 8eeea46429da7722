#pragma once
// Tells which of the served languages a text is written in: every language's speller checks
// the text's first words, and the language that knows the largest share of them wins. The
// script of the text filters first: a text without Latin letters is never given to a language
// written in Latin letters, and the reverse.
//
// Ties (en_GB and en_US know the same words) go to the first language of `preferred` among
// them, then to a main variant ("de_DE", "fr_FR", "en_US"), then to the first in name order. The
// confidence is the winner's share of known words (0 for a text without words). The work is bounded
// by kSampleBytes whatever the text's size. Throws EngineError("Text is not valid UTF-8").
// Thread-safe.
#include <string>
#include <string_view>
#include <vector>

class SpellService;

struct DetectedLanguage {
    std::string code;  // as the registry names it, such as "en_US"; empty when none is served
    double confidence = 0;
};

class LanguageDetector {
  public:
    static constexpr size_t kSampleBytes = 4096;

    LanguageDetector(SpellService& spell, std::vector<std::string> languages);

    DetectedLanguage Detect(std::string_view text, const std::vector<std::string>& preferred) const;

  private:
    // The share of the sample's words the language's speller accepts.
    double KnownShare(const std::string& language, const std::string& sample, size_t words) const;

    SpellService& spell_;
    std::vector<std::string> languages_;
};
