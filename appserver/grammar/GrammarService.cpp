#include "grammar/GrammarService.h"

#include <set>
#include <string_view>

#include "core/CallDeadline.h"
#include "core/EngineError.h"
#include "core/Log.h"
#include "spell/WordTokenizer.h"

namespace {

constexpr std::string_view kVariantSeparator = " -OR- ";
constexpr size_t kMaxNumberDigits = 12;

// Decimal entries of a comma-separated list; other entries are skipped.
std::set<long long> NumberSet(std::string_view list) {
    std::set<long long> out;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        std::string_view entry = list.substr(start, end - start);
        while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
        while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
        bool digits = !entry.empty() && entry.size() <= kMaxNumberDigits;
        long long value = 0;
        for (char c : entry) {
            digits = digits && c >= '0' && c <= '9';
            if (digits) value = value * 10 + (c - '0');
        }
        if (digits) out.insert(value);
        start = end + 1;
    }
    return out;
}

long long ParseIndex(const std::string& text) {
    if (text.empty()) return -1;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() > kMaxNumberDigits)
        throw EngineError("Invalid problem index");
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') throw EngineError("Invalid problem index");
        value = value * 10 + (text[i] - '0');
    }
    return text[0] == '-' ? -value : value;
}

}  // namespace

GrammarService::GrammarService() = default;

GrammarService::GrammarService(const GrammarLanguages& languages, LanguageOf languageOf)
    : languages_(&languages), languageOf_(std::move(languageOf)) {}

const GrammarChecker& GrammarService::CheckerFor(std::string_view utf8) const {
    if (!languages_ || !languageOf_) return english_;
    const GrammarChecker* checker = languages_->For(languageOf_(utf8));
    if (!checker) checker = languages_->For("en");
    return checker ? *checker : english_;
}

std::vector<std::string> GrammarService::CheckGrammar(
    const std::vector<std::string>& params) const {
    const std::set<long long> ignoredRules = NumberSet(params.at(0));
    const std::set<long long> ignoredPositions = NumberSet(params.at(1));
    const std::u16string text = WordTokenizer::ToUtf16(params.at(2));
    const long long current = ParseIndex(params.at(3));

    std::vector<std::string> results(4);
    long long index = 0;
    // The call's deadline (or its client gone) ends the check: the answer holds the problems
    // found so far.
    bool stopped = false;
    const auto stop = [&stopped] { return stopped = stopped || CallDeadline::Current().Expired(); };
    const std::vector<GrammarProblem> problems = CheckerFor(params[2]).Check(text, stop);
    if (stopped)
        Log::Warning("check_grammar stopped at the call's deadline after " +
                     std::to_string(problems.size()) + " problems in a text of " +
                     std::to_string(text.size()) + " characters");
    for (const GrammarProblem& p : problems) {
        if (ignoredRules.count(p.rule) || ignoredPositions.count(static_cast<long long>(p.pos)))
            continue;
        if (index == current) {
            results[0] = p.explanation;
            for (size_t v = 0; v < p.variants.size(); ++v) {
                if (v > 0) results[1] += kVariantSeparator;
                results[1] += p.variants[v];
            }
        }
        results[2] += std::to_string(p.pos) + "," + std::to_string(p.len) + ";";
        if (index > 0) results[3] += ",";
        results[3] += std::to_string(p.rule);
        ++index;
    }
    return results;
}
