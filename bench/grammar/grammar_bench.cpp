// Precision and recall of the grammar checker.
//
//   grammar_bench [prose-folder]
//
// Prose: every "*.txt.gz" under the folder (default: the Debian policy manual), checked one
// paragraph at a time as a web form would send it. Only paragraphs of prose count: those that
// start with a capital letter and end with ".", "?" or "!" (headings, lists, code examples and
// tables are not what people type into forms); prints problems per 5,000 words (target: at
// most 1). Known errors: one sentence per line of known-errors.txt; prints the share in which a
// problem is found (target: at least 80 %). Exit 0 when both targets hold, 1 otherwise, 2 when
// the rules or the sentences cannot be read; a missing prose folder is skipped with a message.
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
#include "spell/WordTokenizer.h"

namespace {

constexpr double kWordsPerProblemTarget = 5000.0;
constexpr double kRecallTarget = 0.80;
constexpr size_t kMinProseBytes = 200 * 1024;

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

bool IsProse(const std::string& paragraph) {
    const size_t first = paragraph.find_first_not_of(" \t\r\n");
    const size_t last = paragraph.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) return false;
    const char end = paragraph[last];
    return paragraph[first] >= 'A' && paragraph[first] <= 'Z' &&
           (end == '.' || end == '?' || end == '!');
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

ProseResult CheckProse(const GrammarChecker& checker, const std::filesystem::path& folder) {
    ProseResult result;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 7 || name.substr(name.size() - 7) != ".txt.gz") continue;
        for (const std::string& paragraph : Paragraphs(Gunzipped(entry.path()))) {
            if (!IsProse(paragraph)) continue;
            result.bytes += paragraph.size();
            result.words += WordCount(paragraph);
            const std::u16string wide = WordTokenizer::ToUtf16(paragraph);
            for (const GrammarProblem& p : checker.Check(wide)) {
                ++result.problems;
                result.byRule[p.rule].push_back(
                    WordTokenizer::ToUtf8(wide.substr(p.pos > 20 ? p.pos - 20 : 0, p.len + 40)));
            }
        }
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path prose = argc > 1 ? argv[1] : PROSE_DIR;
    const GrammarRuleTable table = GrammarRuleTable::Load(GRAMMAR_RULES_FILE);
    if (!table.errors().empty() || table.rules().empty()) {
        std::cerr << "the rule file has errors: " << GRAMMAR_RULES_FILE << "\n";
        return 2;
    }
    const GrammarChecker checker(std::make_shared<const GrammarRuleTable>(table));
    std::cout << "rules: " << table.rules().size() << " lines\n";
    bool ok = true;

    std::ifstream sentences(KNOWN_ERRORS_FILE);
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

    if (!std::filesystem::is_directory(prose)) {
        std::cout << "prose: skipped, " << prose << " is missing (apt-get install debian-policy)\n";
        return ok ? 0 : 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const ProseResult result = CheckProse(checker, prose);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& [rule, places] : result.byRule) {
        std::cout << "  rule " << rule << ": " << places.size() << "\n";
        for (size_t i = 0; i < places.size() && i < 12; ++i)
            std::cout << "    ..." << places[i] << "...\n";
    }
    const double perTarget =
        result.words ? result.problems * kWordsPerProblemTarget / result.words : 0;
    std::printf(
        "prose: %zu KB, %zu words, %zu problems = %.2f per %.0f words (target <= 1), "
        "%.2f s\n",
        result.bytes / 1024, result.words, result.problems, perTarget, kWordsPerProblemTarget,
        seconds);
    if (result.bytes < kMinProseBytes) std::cout << "prose: less than 200 KB found\n";
    ok = ok && perTarget <= 1.0 && result.bytes >= kMinProseBytes;
    return ok ? 0 : 1;
}
