// Precision, recall and speed of the grammar checker.
//
//   grammar_bench [--quiet] [--rules FILE] [--known FILE] [prose-file-or-folder ...]
//
// --rules names the rule file (default: the English rules), --known the known-error sentences
// (default: known-errors.txt beside this file).
// Prose: edited English that Debian ships (every file under /usr/share/common-licenses, the
// text files of the Debian policy manual, and the README files of /usr/share/doc/*/), checked
// in texts of whole paragraphs up to 4 KB as a web form would send them. Every paragraph counts,
// lists, headings, code and all, since people paste such text too; every problem found there is
// taken for a false alarm. Prints each false alarm (unless --quiet), the count per rule, and false
// alarms per 5,000 words (target: at most 1). Known errors: one sentence per line of
// known-errors.txt; prints the share in which a problem is found (target: at least 80 %).
// Speed: the prose is checked twice in the same run, with every rule tried at every position of
// the text (the baseline) and at its anchors only (as the server does); prints ms per KB of
// both and their ratio, and every text where the two differ in what they find (or where a
// check answered from the result cache differs). The same for the
// prose joined into single lines of kLongLineBytes, as a form without line breaks sends it.
// Exit 0 when both targets hold and both ways find the same, 1 otherwise, 2 when the rules or
// the sentences cannot be read.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grammar/GrammarChecker.h"
#include "grammar/GrammarRuleTable.h"
#include "grammar/RuleAnchor.h"
#include "spell/WordTokenizer.h"

namespace {

constexpr double kWordsPerProblemTarget = 5000.0;
constexpr double kRecallTarget = 0.80;
constexpr size_t kMinProseBytes = 200 * 1024;
constexpr size_t kFormTextBytes = 4096;
constexpr size_t kLongLineBytes = 32 * 1024;
constexpr size_t kMaxDifferencesShown = 10;

struct PipeCloser {
    void operator()(FILE* f) const { pclose(f); }
};

std::string Gunzipped(const std::filesystem::path& file) {
    const std::string command = "gzip -dc '" + file.string() + "'";
    std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    std::string text;
    if (!pipe) return text;
    std::array<char, 65536> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        text.append(buffer.data(), n);
    return text;
}

std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    std::string paragraph;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            if (!paragraph.empty()) out.push_back(paragraph);
            paragraph.clear();
        } else {
            paragraph += line + "\n";
        }
    }
    if (!paragraph.empty()) out.push_back(paragraph);
    return out;
}

// Consecutive paragraphs joined into texts of up to kFormTextBytes, as people send a form: a
// paragraph that goes on a sentence begun above it (after a list or an example) keeps that
// sentence before it.
std::vector<std::string> Texts(const std::vector<std::string>& paragraphs) {
    std::vector<std::string> out;
    for (const std::string& p : paragraphs) {
        if (out.empty() || out.back().size() + p.size() > kFormTextBytes)
            out.push_back(p);
        else
            out.back() += "\n" + p;
    }
    return out;
}

bool Utf8IsValid(const std::string& text) {
    try {
        WordTokenizer::ToUtf16(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

size_t WordCount(const std::string& text) {
    size_t words = 0;
    bool inWord = false;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (!blank && !inWord) ++words;
        inWord = !blank;
    }
    return words;
}

// Problems per rule and their first few places, for tuning.
struct ProseResult {
    size_t bytes = 0;
    size_t words = 0;
    size_t problems = 0;
    std::map<int, std::vector<std::string>> byRule;
};

bool IsTextFile(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const bool readme = name.rfind("README", 0) == 0 || name.rfind("readme", 0) == 0;
    const bool policyText = name.size() > 7 && name.substr(name.size() - 7) == ".txt.gz" &&
                            path.parent_path().filename() == "debian-policy";
    return readme || policyText || path.parent_path().filename() == "common-licenses";
}

std::string TextOf(const std::filesystem::path& path) {
    if (path.extension() == ".gz") return Gunzipped(path);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The files of the given places: a file as it is, a folder's text files (see IsTextFile) down
// to `depth` levels, in name order.
std::vector<std::filesystem::path> Files(const std::vector<std::string>& places) {
    namespace fs = std::filesystem;
    std::vector<fs::path> out;
    for (const std::string& place : places) {
        if (fs::is_regular_file(place)) out.emplace_back(place);
        if (!fs::is_directory(place)) continue;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(place, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it.depth() > 1) it.disable_recursion_pending();
            const fs::path& path = it->path();
            if (it->is_regular_file() && !it->is_symlink() && IsTextFile(path)) out.push_back(path);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The form texts of the files, each with the file it comes from.
std::vector<std::pair<std::string, std::u16string>> ProseTexts(
    const std::vector<std::filesystem::path>& files) {
    std::vector<std::pair<std::string, std::u16string>> out;
    for (const auto& file : files)
        for (const std::string& paragraph : Texts(Paragraphs(TextOf(file))))
            if (Utf8IsValid(paragraph))
                out.emplace_back(file.string(), WordTokenizer::ToUtf16(paragraph));
    return out;
}

// The texts joined into lines of about kLongLineBytes, their line breaks made blanks.
std::vector<std::u16string> LongLines(
    const std::vector<std::pair<std::string, std::u16string>>& texts) {
    std::vector<std::u16string> out(1);
    for (const auto& [file, text] : texts) {
        if (out.back().size() * 2 > kLongLineBytes) out.emplace_back();
        for (char16_t c : text) out.back() += c == u'\n' ? u' ' : c;
        out.back() += u' ';
    }
    return out;
}

ProseResult CheckProse(const GrammarChecker& checker,
                       const std::vector<std::pair<std::string, std::u16string>>& texts) {
    ProseResult result;
    for (const auto& [file, wide] : texts) {
        const std::string paragraph = WordTokenizer::ToUtf8(wide);
        result.bytes += paragraph.size();
        result.words += WordCount(paragraph);
        for (const GrammarProblem& p : checker.Check(wide)) {
            ++result.problems;
            std::string place = WordTokenizer::ToUtf8(
                wide.substr(p.pos > 30 ? p.pos - 30 : 0, p.len + (p.pos > 30 ? 60 : 30 + p.pos)));
            for (char& c : place)
                if (c == '\n' || c == '\t') c = ' ';
            result.byRule[p.rule].push_back(file + ": ..." + place + "...");
        }
    }
    return result;
}

bool Same(const std::vector<GrammarProblem>& a, const std::vector<GrammarProblem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.pos == y.pos && x.len == y.len && x.rule == y.rule &&
               x.explanation == y.explanation && x.variants == y.variants;
    });
}

struct Timing {
    double everyPositionMs = 0;
    double anchoredMs = 0;
    size_t differences = 0;
};

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

// Both ways over the same texts, and the anchored way from its result cache; prints the texts
// where they differ.
Timing Compare(const GrammarChecker& everyPosition, const GrammarChecker& anchored,
               const GrammarChecker& cached, const std::vector<std::u16string>& texts) {
    Timing timing;
    for (const std::u16string& text : texts) {
        auto start = std::chrono::steady_clock::now();
        const auto slow = everyPosition.Check(text);
        timing.everyPositionMs += Ms(start);
        start = std::chrono::steady_clock::now();
        const auto fast = anchored.Check(text);
        timing.anchoredMs += Ms(start);
        // A text checked again is answered from the result cache, with the same problems.
        cached.Check(text);
        if (Same(slow, fast) && Same(fast, cached.Check(text))) continue;
        if (++timing.differences <= kMaxDifferencesShown)
            std::cout << "  differs (" << slow.size() << " against " << fast.size()
                      << " problems): " << WordTokenizer::ToUtf8(text.substr(0, 80)) << "\n";
    }
    return timing;
}

// Prints the timing line; false when the two ways differ.
bool PrintTiming(const char* what, const Timing& timing, size_t bytes) {
    const double kb = bytes / 1024.0;
    std::printf(
        "speed, %s: every position %.2f ms/KB, anchored %.2f ms/KB, %.1fx faster; %zu texts "
        "differ\n",
        what, timing.everyPositionMs / kb, timing.anchoredMs / kb,
        timing.anchoredMs > 0 ? timing.everyPositionMs / timing.anchoredMs : 0, timing.differences);
    return timing.differences == 0;
}

size_t Utf8Bytes(const std::vector<std::u16string>& texts) {
    size_t bytes = 0;
    for (const auto& text : texts) bytes += WordTokenizer::ToUtf8(text).size();
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    bool quiet = false;
    std::string rulesFile = GRAMMAR_RULES_FILE;
    std::string knownFile = KNOWN_ERRORS_FILE;
    std::vector<std::string> places;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quiet")
            quiet = true;
        else if ((arg == "--rules" || arg == "--known") && i + 1 < argc)
            (arg == "--rules" ? rulesFile : knownFile) = argv[++i];
        else
            places.push_back(arg);
    }
    if (places.empty())
        places = {"/usr/share/common-licenses", "/usr/share/doc/debian-policy", "/usr/share/doc"};
    const auto table = std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Load(rulesFile));
    if (!table->errors().empty() || table->rules().empty()) {
        std::cerr << "the rule file has errors: " << rulesFile << "\n";
        return 2;
    }
    // Without result caches: the texts are checked more than once.
    const GrammarChecker checker(table, GrammarChecker::Matching::kAnchored, 0);
    const GrammarChecker everyPosition(table, GrammarChecker::Matching::kEveryPosition, 0);
    const GrammarChecker cached(table);
    std::cout << "rules: " << table->rules().size() << " lines from " << rulesFile << "\n";
    std::map<RuleAnchor::Kind, std::string> anchors;
    for (const GrammarRule& rule : table->rules()) {
        const icu::UnicodeString& source = rule.pattern->pattern();
        const RuleAnchor anchor = RuleAnchor::Of(
            std::u16string_view(source.getBuffer(), static_cast<size_t>(source.length())));
        anchors[anchor.kind()] += " " + std::to_string(rule.number);
    }
    std::cout << "tried at words:" << anchors[RuleAnchor::Kind::kWords]
              << "\ntried at every word:" << anchors[RuleAnchor::Kind::kAnyWord]
              << "\ntried at marks:" << anchors[RuleAnchor::Kind::kChars]
              << "\ntried at every position:" << anchors[RuleAnchor::Kind::kAnywhere] << "\n";
    bool ok = true;

    std::ifstream sentences(knownFile);
    if (!sentences) return 2;
    size_t total = 0;
    size_t found = 0;
    for (std::string line; std::getline(sentences, line);) {
        if (line.empty() || line[0] == '#') continue;
        ++total;
        if (!checker.Check(WordTokenizer::ToUtf16(line)).empty())
            ++found;
        else
            std::cout << "  missed: " << line << "\n";
    }
    const double recall = total ? static_cast<double>(found) / total : 0;
    std::printf("known errors: %zu of %zu sentences found (%.1f %%, target >= %.0f %%)\n", found,
                total, 100 * recall, 100 * kRecallTarget);
    ok = ok && recall >= kRecallTarget;

    const std::vector<std::filesystem::path> files = Files(places);
    const auto texts = ProseTexts(files);
    const auto start = std::chrono::steady_clock::now();
    const ProseResult result = CheckProse(checker, texts);
    const double seconds = Ms(start) / 1000;
    for (const auto& [rule, places] : result.byRule) {
        std::cout << "  rule " << rule << ": " << places.size() << "\n";
        for (size_t i = 0; !quiet && i < places.size(); ++i)
            std::cout << "    " << places[i] << "\n";
    }
    const double perTarget =
        result.words ? result.problems * kWordsPerProblemTarget / result.words : 0;
    std::printf(
        "prose: %zu files, %zu KB, %zu words, %zu false alarms = %.2f per %.0f words "
        "(target <= 1), %.2f s\n",
        files.size(), result.bytes / 1024, result.words, result.problems, perTarget,
        kWordsPerProblemTarget, seconds);
    if (result.bytes < kMinProseBytes) std::cout << "prose: less than 200 KB found\n";
    ok = ok && perTarget <= 1.0 && result.bytes >= kMinProseBytes;

    std::vector<std::u16string> forms;
    for (const auto& text : texts) forms.push_back(text.second);
    ok = PrintTiming("form texts", Compare(everyPosition, checker, cached, forms), result.bytes) &&
         ok;
    const std::vector<std::u16string> lines = LongLines(texts);
    ok = PrintTiming("long lines", Compare(everyPosition, checker, cached, lines),
                     Utf8Bytes(lines)) &&
         ok;
    return ok ? 0 : 1;
}
