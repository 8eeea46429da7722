// Loads and renders a large HTML document with the text model and prints the time relative to
// a plain copy of the same bytes, both measured in this run.
//
//   text_bench [file.html ...]
//
// Without arguments the document is the HTML documentation found under /usr/share/doc,
// concatenated up to kTargetBytes; when there is too little of it, generated HTML fills up.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "text/DefaultErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"

namespace {

constexpr std::size_t kTargetBytes = 1 << 20;
constexpr int kRuns = 7;
constexpr int kCopiesPerRun = 200;
constexpr int kEveryNthWordMisspelt = 25;
const char* const kDocRoot = "/usr/share/doc";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string CollectDocumentation() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(kDocRoot, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error))
        if (it->is_regular_file(error) && it->path().extension() == ".html")
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    std::string html;
    for (const auto& file : files) {
        if (html.size() >= kTargetBytes) break;
        html += ReadFile(file);
    }
    return html;
}

std::string Generated(std::size_t bytes) {
    std::string html =
        "<html><head><title>Generated</title><style>p{color:red}</style></head><body>\n";
    for (int n = 0; html.size() < bytes; ++n)
        html += "<p class=\"para\" id=\"p" + std::to_string(n) +
                "\">The quick brwon fox &amp; the lazy dgo jumped <b>over</b> caf&eacute; &#233; "
                "<a href=\"http://example.org/\">links</a>, <img src=\"http://x/y.png\" "
                "onclick=\"go()\"> "
                "and <span style=\"color:blue\">styled</span> text.</p>\n";
    return html + "</body></html>\n";
}

void AddEveryNthWord(TextProcessor& processor) {
    const std::string check = processor.GetCheckText();
    int words = 0;
    // Positions count UTF-16 code units; ASCII words keep that simple and exact enough here.
    int position = 0;
    for (std::size_t i = 0; i < check.size();) {
        const auto c = static_cast<unsigned char>(check[i]);
        if (std::isalpha(c)) {
            std::size_t end = i;
            while (end < check.size() && std::isalpha(static_cast<unsigned char>(check[end])))
                ++end;
            if (++words % kEveryNthWordMisspelt == 0)
                processor.AddProblem(position, static_cast<int>(end - i), words);
            position += static_cast<int>(end - i);
            i = end;
            continue;
        }
        // Count UTF-16 units of this UTF-8 sequence.
        if (c < 0x80 || c >= 0xC0) position += (c >= 0xF0) ? 2 : 1;
        ++i;
    }
}

template <typename Work>
double BestSeconds(Work work) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::string html;
    for (int i = 1; i < argc; ++i) html += ReadFile(argv[i]);
    if (argc == 1) html = CollectDocumentation();
    const char* origin = argc > 1 ? "given files" : "documentation under /usr/share/doc";
    if (html.size() < kTargetBytes / 4) {
        html += Generated(kTargetBytes - html.size());
        origin = "generated HTML (too little documentation found)";
    }

    std::size_t sink = 0;
    const double copy = BestSeconds([&] {
                            for (int i = 0; i < kCopiesPerRun; ++i) {
                                std::string copied(html);
                                sink += static_cast<unsigned char>(copied[copied.size() / 2]);
                            }
                        }) /
                        kCopiesPerRun;

    std::size_t problems = 0;
    const double load = BestSeconds([&] {
        TextProcessor processor("", {});
        processor.SetText(html);
        sink += processor.GetCheckText().size();
    });
    const double whole = BestSeconds([&] {
        TextProcessor processor("", {});
        processor.SetText(html);
        AddEveryNthWord(processor);
        problems = processor.Problems().size();
        DefaultErrorDecorator decorator(u"suggest", 0);
        sink += RenderDecorated(processor, decorator).size();
        sink += processor.GetText().size();
    });

    std::printf("document: %zu bytes from %s\n", html.size(), origin);
    std::printf("plain copy:                      %10.3f ms\n", copy * 1e3);
    std::printf("load + check stream:             %10.3f ms  ratio %8.1f\n", load * 1e3,
                load / copy);
    std::printf("load + %zu problems + render + text: %8.3f ms  ratio %8.1f\n", problems,
                whole * 1e3, whole / copy);
    std::printf("(sink %zu)\n", sink);
    return 0;
}
