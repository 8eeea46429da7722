#include "grammar/GrammarRuleTable.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <variant>

#include "core/Log.h"
#include "core/ProgramFolder.h"

namespace {

constexpr std::string_view kVariantsMark = "/ => ";
constexpr std::string_view kExplanationMark = " :: ";
constexpr std::string_view kVariantSeparator = " -OR- ";
constexpr size_t kMaxLineBytes = 4096;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::optional<int> SmallNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || rest != end)
        return std::nullopt;
    return value;
}

// Reads the condition word into `rule`; false when it is not one of the known forms.
bool ReadCondition(std::string_view word, GrammarRule& rule) {
    if (word == "-") return true;
    if (word == "start") {
        rule.condition = GrammarRule::Condition::kSentenceStart;
        return true;
    }
    const size_t colon = word.find(':');
    const std::string_view kind = word.substr(0, colon);
    const std::optional<int> group =
        colon == std::string_view::npos ? std::nullopt : SmallNumber(word.substr(colon + 1));
    if (!group || *group > 9) return false;
    rule.group = *group;
    if (kind == "vowel")
        rule.condition = GrammarRule::Condition::kVowelSound;
    else if (kind == "consonant")
        rule.condition = GrammarRule::Condition::kConsonantSound;
    else
        return false;
    return true;
}

std::vector<std::string> Variants(std::string_view text) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t end; (end = text.find(kVariantSeparator, at)) != std::string_view::npos;
         at = end + kVariantSeparator.size())
        out.emplace_back(Trimmed(text.substr(at, end - at)));
    out.emplace_back(Trimmed(text.substr(at)));
    return out;
}

// The pattern as written, with "\/" turned back into "/".
std::string Unescaped(std::string_view pattern) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\' && i + 1 < pattern.size() && pattern[i + 1] == '/') continue;
        out += pattern[i];
    }
    return out;
}

// The rule of one line, or the reason it is not one.
std::variant<GrammarRule, std::string> ParseLine(std::string_view line) {
    if (line.size() > kMaxLineBytes) return std::string("line too long");
    GrammarRule rule;
    const size_t firstBlank = line.find(' ');
    const std::optional<int> number = SmallNumber(line.substr(0, firstBlank));
    if (!number || *number == 0) return std::string("no rule number");
    rule.number = *number;
    const size_t slash = line.find('/', firstBlank);
    if (firstBlank == std::string_view::npos || slash == std::string_view::npos)
        return std::string("no pattern");
    if (!ReadCondition(Trimmed(line.substr(firstBlank, slash - firstBlank)), rule))
        return std::string("unknown condition");
    const size_t variantsAt = line.find(kVariantsMark, slash + 1);
    if (variantsAt == std::string_view::npos) return std::string("no \"/ => \" after the pattern");
    const size_t explanationAt = line.find(kExplanationMark, variantsAt);
    if (explanationAt == std::string_view::npos) return std::string("no \" :: \" explanation");
    const std::string source = Unescaped(line.substr(slash + 1, variantsAt - slash - 1));
    if (source.empty()) return std::string("empty pattern");

    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    std::shared_ptr<const icu::RegexPattern> pattern(
        icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(source), 0, where, status));
    if (U_FAILURE(status) || !pattern)
        return std::string("pattern does not compile: ") + u_errorName(status);
    std::unique_ptr<icu::RegexMatcher> probe(pattern->matcher(status));
    if (U_FAILURE(status) || !probe || rule.group > probe->groupCount())
        return std::string("condition names a missing group");
    rule.pattern = std::move(pattern);
    const size_t variantsStart = variantsAt + kVariantsMark.size();
    rule.variants = Variants(line.substr(variantsStart, explanationAt - variantsStart));
    rule.explanation = std::string(Trimmed(line.substr(explanationAt + kExplanationMark.size())));
    return rule;
}

}  // namespace

GrammarRuleTable GrammarRuleTable::Parse(std::string_view text) {
    GrammarRuleTable table;
    size_t number = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trimmed(text.substr(at, end - at));
        at = end + 1;
        ++number;
        if (line.empty() || line.front() == '#') continue;
        if (line.size() >= 2 && (line[0] == '+' || line[0] == '=') && line[1] == ' ') {
            if (table.rules_.empty())
                table.errors_.push_back({number, "example before any rule"});
            else
                table.examples_.push_back(
                    {table.rules_.back().number, line[0] == '+', std::string(line.substr(2))});
            continue;
        }
        auto parsed = ParseLine(line);
        if (auto* rule = std::get_if<GrammarRule>(&parsed))
            table.rules_.push_back(std::move(*rule));
        else
            table.errors_.push_back({number, std::get<std::string>(parsed)});
    }
    return table;
}

GrammarRuleTable GrammarRuleTable::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GrammarRuleTable table;
        table.errors_.push_back({0, "cannot read " + path});
        return table;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

std::shared_ptr<const GrammarRuleTable> GrammarRuleTable::Default() {
    static const std::shared_ptr<const GrammarRuleTable> table = [] {
        auto english = ForLanguage("en");
        if (english) return english;
        Log::Error("grammar: no rules: " + ProgramFolder::Path() + "/" + kFileName);
        return std::make_shared<const GrammarRuleTable>();
    }();
    return table;
}

std::shared_ptr<const GrammarRuleTable> GrammarRuleTable::ForLanguage(std::string_view language) {
    std::string bare(language.substr(0, language.find_first_of("_-")));
    for (char& c : bare) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    const bool plain = bare.size() >= 2 && bare.size() <= 3 &&
                       bare.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
    if (!plain) return nullptr;
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const GrammarRuleTable>, std::less<>> tables;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto known = tables.find(bare);
    if (known != tables.end()) return known->second;
    const std::string path = ProgramFolder::Path() + "/grammar-" + bare + ".rules";
    std::shared_ptr<const GrammarRuleTable> table;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        auto loaded = std::make_shared<GrammarRuleTable>(Load(path));
        for (const LineError& e : loaded->errors())
            Log::Error(path + ":" + std::to_string(e.line) + ": grammar rule skipped: " + e.reason);
        Log::Info("grammar: " + std::to_string(loaded->rules().size()) + " rules from " + path);
        table = std::move(loaded);
    }
    tables.emplace(bare, table);
    return table;
}
