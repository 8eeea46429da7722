// The engine server's memory and time for large check_grammar calls, the heaviest calls the
// in-flight budget admits. For each text shape at --bytes (4 MiB by default), one call at a
// time: wall and engine CPU seconds, the engine's resident memory before and its peak during the
// call, the growth as a ratio of the request's size, the answer's size and the problems found.
// Then --clients calls at once (8 by default, as many as the engine's workers), their bodies
// 32 MiB of text in all: the engine admits as many as its in-flight budget holds (each weighted
// by its working memory) and refuses the rest as busy; the peak growth as a ratio of the bytes
// sent. Last, the resident memory
// after the engine has been idle for a while (it gives freed memory back).
// Usage: grammar_memory_bench [--bytes N] [--clients C] [--server PATH]
//   --server runs another build's engine server (an older one, for comparison); it must sit in
//   a folder with the grammar rules (the build's appserver folder).
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchServer.h"

namespace {

constexpr size_t kDefaultBytes = 4u << 20;
constexpr size_t kInFlightBudgetBytes = 32u << 20;  // of text in all, shared by the calls
constexpr size_t kFramingBytes = 4096;              // header and parameters besides the text
constexpr size_t kLineBytes = 80;
constexpr int kIdleWaitSeconds = 8;

struct Shape {
    const char* name;
    const char* unit;
    bool lines;  // a line break after every kLineBytes or so
};

const Shape kShapes[] = {
    {"prose, lines", "the quick brown fox jumps over the lazy dog. ", true},
    {"mixed, lines", "teh qzx wrod the & house, ", true},
    {"article problems, lines", "she ate a apple and a egg. ", true},
    {"mixed, one line", "teh qzx wrod the & house, ", false},
};

std::string Text(const Shape& shape, size_t bytes) {
    std::string text;
    text.reserve(bytes);
    const std::string unit = shape.unit;
    size_t lineStart = 0;
    while (text.size() + unit.size() + 1 <= bytes) {
        text += unit;
        if (shape.lines && text.size() - lineStart >= kLineBytes) {
            text.back() = '\n';
            lineStart = text.size();
        }
    }
    return text;
}

double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    unsigned long long ticks = 0;
    for (int n = 3; fields >> field && n <= 15; ++n)
        if (n >= 14) ticks += std::stoull(field);
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

size_t Count(const std::string& text, char c) {
    size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

double Mb(long kib) { return static_cast<double>(kib) / 1024.0; }

std::vector<std::string> CheckGrammar(const BenchServer& server, const std::string& text) {
    return server.Results("check_grammar", {"", "", text, "0"}, 4);
}

void OneAtATime(const BenchServer& server, size_t bytes) {
    std::printf("%-24s %7s %7s %8s %8s %8s %8s %8s\n", "check_grammar, one call", "wall s",
                "eng cpu", "idle MB", "peak MB", "growth/", "answer", "problems");
    std::printf("%-24s %7s %7s %8s %8s %8s %8s %8s\n", "", "", "", "", "", "request", "KiB", "");
    for (const Shape& shape : kShapes) {
        const std::string text = Text(shape, bytes);
        const long idle = server.StatusKiB("VmRSS:");
        server.ResetPeak();
        const double cpu = CpuSecondsOf(server.pid());
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::string> results = CheckGrammar(server, text);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peak = server.StatusKiB("VmHWM:");
        size_t answer = 0;
        for (const std::string& r : results) answer += r.size();
        std::printf("%-24s %7.2f %7.2f %8.1f %8.1f %8.2f %8.1f %8zu\n", shape.name, wall,
                    CpuSecondsOf(server.pid()) - cpu, Mb(idle), Mb(peak),
                    static_cast<double>(peak - idle) * 1024.0 / static_cast<double>(text.size()),
                    static_cast<double>(answer) / 1024.0, Count(results[2], ';'));
        std::fflush(stdout);
    }
}

void AllAtOnce(const BenchServer& server, int clients) {
    const size_t bytes = kInFlightBudgetBytes / static_cast<size_t>(clients) - kFramingBytes;
    const std::string text = Text(kShapes[1], bytes);
    const long idle = server.StatusKiB("VmRSS:");
    server.ResetPeak();
    std::atomic<int> failed{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            try {
                CheckGrammar(server, text);
            } catch (const std::exception&) {
                ++failed;  // refused as busy, or cut at the deadline
            }
        });
    for (auto& t : threads) t.join();
    const long peak = server.StatusKiB("VmHWM:");
    const size_t inFlight = bytes * static_cast<size_t>(clients);
    std::printf(
        "%d calls at once of %.1f MiB (%s; %.1f MiB in flight, %d refused or failed): idle %.1f "
        "MB, peak %.1f MB, growth/in-flight %.2f\n",
        clients, static_cast<double>(bytes) / (1 << 20), kShapes[1].name,
        static_cast<double>(inFlight) / (1 << 20), failed.load(), Mb(idle), Mb(peak),
        static_cast<double>(peak - idle) * 1024.0 / static_cast<double>(inFlight));
    std::this_thread::sleep_for(std::chrono::seconds(kIdleWaitSeconds));
    std::printf("resident after %d s idle: %.1f MB\n", kIdleWaitSeconds,
                Mb(server.StatusKiB("VmRSS:")));
}

}  // namespace

int main(int argc, char** argv) {
    size_t bytes = kDefaultBytes;
    int clients = 8;
    std::string binary = APPSERVER_BIN;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bytes")
            bytes = std::stoul(argv[++i]);
        else if (arg == "--clients")
            clients = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--server")
            binary = argv[++i];
    }
    return BenchServer::RunOnScratchDatabase("grammar_memory_bench", {"--languages", "en_US"},
                                             binary, [&](const BenchServer& server) {
                                                 OneAtATime(server, bytes);
                                                 AllAtOnce(server, clients);
                                             });
}
