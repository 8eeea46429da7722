// Word breaking of the spelling path: the whole text through ICU (UTF-16 conversion, break
// iterator, a UTF-8 copy of every word) against the UTF-8 words (ASCII stretches without ICU,
// views into the text), on about 1 KB of prose: plain ASCII, the same with a typographic
// apostrophe or an accent in one word of ten, and the same all in Cyrillic-like letters.
// The two forms take turns call by call; prints words/s and the ratio.
// Usage: tokenizer_bench [--seconds S]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "spell/WordTokenizer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kTextBytes = 1024;

constexpr const char* kProse =
    "The quick brown fox doesn't jump over the lazy dog; it walks, e.g. around 3.5 meters "
    "to the left. Send comments to the-editor@example.org or see www.example.com for more. "
    "Spelling errors like recieve and seperate are found by the checker, while URLs and "
    "numbers such as 1,000 are left alone.";

std::vector<std::string> Words(const std::string& prose) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < prose.size()) {
        size_t end = prose.find(' ', start);
        if (end == std::string::npos) end = prose.size();
        words.push_back(prose.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// About 1 KB of the prose; every `every`-th word gets `mark` appended (none when empty).
std::string Text(const std::string& mark, size_t every) {
    const std::vector<std::string> words = Words(kProse);
    std::string text;
    for (size_t i = 0; text.size() < kTextBytes; ++i) {
        if (!text.empty()) text += ' ';
        text += words[i % words.size()];
        if (!mark.empty() && i % every == 0) text += mark;
    }
    return text;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs `a` and `b` in turn, each call timed, until `seconds` have passed; returns calls per
// second of each. Taking turns call by call gives both the same load on a shared machine.
std::pair<double, double> Rates(double seconds, const std::function<void()>& a,
                                const std::function<void()>& b) {
    double spent[2] = {0, 0};
    size_t turns = 0;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < deadline) {
        for (int which = 0; which < 2; ++which) {
            const auto start = Clock::now();
            (which == 0 ? a : b)();
            spent[which] += Seconds(Clock::now() - start);
        }
        ++turns;
    }
    return {static_cast<double>(turns) / spent[0], static_cast<double>(turns) / spent[1]};
}

void Compare(const char* name, const std::string& text, WordTokenizer::Links links,
             double seconds) {
    const double words = static_cast<double>(WordTokenizer::Words(text, links).size());
    size_t sink = 0;
    const auto [icu, utf8] = Rates(
        seconds, [&] { sink += WordTokenizer::Words(WordTokenizer::ToUtf16(text)).size(); },
        [&] { sink += WordTokenizer::Words(text, links).size(); });
    std::printf(
        "%-34s %5zu bytes %4.0f words  ICU %10.0f words/s  UTF-8 %10.0f words/s  "
        "ratio %.2f\n",
        name, text.size(), words, icu * words, utf8 * words, utf8 / icu);
    if (sink == 0) std::printf("no words\n");
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 2.0;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--seconds") seconds = std::strtod(argv[i + 1], nullptr);
    const std::string ascii = Text("", 1);
    const std::string apostrophes = Text("\u2019s", 10);
    const std::string accents = Text("\u00e9", 10);
    const std::string cyrillic = Text("\u0436\u0438\u0437\u043d\u044c", 1);
    using Links = WordTokenizer::Links;
    Compare("ASCII, links not marked", ascii, Links::kIgnore, seconds);
    Compare("ASCII, links marked", ascii, Links::kMark, seconds);
    Compare("typographic apostrophe 1 word in 10", apostrophes, Links::kIgnore, seconds);
    Compare("accent 1 word in 10", accents, Links::kIgnore, seconds);
    Compare("non-ASCII in every word", cyrillic, Links::kIgnore, seconds);
    return 0;
}
