#include "api/LanguageDetector.h"

#include <algorithm>
#include <cctype>

#include "core/EngineError.h"
#include "spell/SpellRequest.h"
#include "spell/SpellService.h"
#include "spell/WordTokenizer.h"

namespace {

// Languages whose spellers read non-Latin scripts; every other one is written in Latin letters.
bool NonLatinLanguage(const std::string& code) {
    static const std::vector<std::string> kNonLatin = {"ar", "be", "bg", "el", "fa", "he", "hi",
                                                       "ja", "ko", "mk", "ru", "sr", "uk", "zh"};
    const std::string bare = code.substr(0, code.find_first_of("_-"));
    return std::find(kNonLatin.begin(), kNonLatin.end(), bare) != kNonLatin.end();
}

bool HasLatinLetter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

bool HasNonAsciiByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The text cut after at most kSampleBytes, at a character boundary.
std::string_view Sample(std::string_view text) {
    if (text.size() <= LanguageDetector::kSampleBytes) return text;
    size_t end = LanguageDetector::kSampleBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// The main variant of a language: its own country ("de_DE", "fr_FR"), and "en_US" for English.
bool MainVariant(const std::string& code) {
    if (code == "en_US") return true;
    if (code.size() != 5 || code[2] != '_') return false;
    return std::toupper(static_cast<unsigned char>(code[0])) == code[3] &&
           std::toupper(static_cast<unsigned char>(code[1])) == code[4];
}

// Lower ranks win ties: the caller's preferences in order, then the main variants, then the rest.
size_t PreferenceRank(const std::string& code, const std::vector<std::string>& preferred) {
    for (size_t i = 0; i < preferred.size(); ++i)
        if (preferred[i] == code) return i;
    return preferred.size() + (MainVariant(code) ? 0 : 1);
}

}  // namespace

LanguageDetector::LanguageDetector(SpellService& spell, std::vector<std::string> languages)
    : spell_(spell), languages_(std::move(languages)) {}

double LanguageDetector::KnownShare(const std::string& language, const std::string& sample,
                                    size_t words) const {
    const SpellRequest request = SpellRequest::Parse({language, "", "", sample, "", ""});
    const std::string misspelt = spell_.CheckSpelling(request);
    const auto wrong = static_cast<size_t>(std::count(misspelt.begin(), misspelt.end(), ';'));
    return words == 0 ? 0 : 1.0 - static_cast<double>(std::min(wrong, words)) / words;
}

DetectedLanguage LanguageDetector::Detect(std::string_view text,
                                          const std::vector<std::string>& preferred) const {
    const std::string sample(Sample(text));
    const size_t words = WordTokenizer::Words(sample, WordTokenizer::Links::kIgnore).size();
    const bool latin = HasLatinLetter(sample);
    const bool other = HasNonAsciiByte(sample);
    DetectedLanguage best;
    size_t bestRank = 0;
    for (const std::string& language : languages_) {
        const bool nonLatin = NonLatinLanguage(language);
        if ((nonLatin && !other) || (!nonLatin && !latin && other)) continue;
        const double share = KnownShare(language, sample, words);
        const size_t rank = PreferenceRank(language, preferred);
        if (best.code.empty() || share > best.confidence ||
            (share == best.confidence && rank < bestRank)) {
            best = {language, share};
            bestRank = rank;
        }
    }
    if (best.code.empty() && !languages_.empty()) best.code = languages_.front();
    return best;
}
