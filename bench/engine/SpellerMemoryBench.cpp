// The engine server's resident memory as it computes suggestions with its cache off (Aspell,
// en_US): the resident set after 10,000 suggestions and after --suggestions N (1,000,000 by
// default; a smaller N keeps the run short on a shared machine), and their ratio. An engine
// whose memory stays flat prints a ratio near 1.
// Usage: speller_memory_bench [--suggestions N] [--clients C] [--server PATH] [MISSPELLINGS_FILE]
//   --server runs another build's engine server (an older one, for comparison).
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchServer.h"

namespace {

constexpr size_t kFirstMark = 10000;

std::vector<std::string> Misspellings(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '$' && line.find_first_of(" _\r") == std::string::npos)
            words.push_back(line);
    if (words.empty()) throw std::runtime_error("no misspellings in " + path);
    return words;
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key)
        if (key == "VmRSS:" && status >> value) return value;
    return -1;
}

// Asks `count` suggestions from `clients` threads at once, the words taken in turn.
void Suggest(const BenchServer& server, const std::vector<std::string>& words, size_t count,
             int clients) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            for (size_t i = next++; i < count; i = next++)
                server.Call("get_suggestions4",
                            {"en_US", "", "00001", words[i % words.size()], "", ""});
        });
    for (auto& t : threads) t.join();
}

}  // namespace

int main(int argc, char** argv) {
    size_t total = 1000000;
    int clients = 2;
    std::string binary = APPSERVER_BIN;
    std::string file = MISSPELLINGS_FILE;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--suggestions" && i + 1 < argc)
            total = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--clients" && i + 1 < argc)
            clients = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--server" && i + 1 < argc)
            binary = argv[++i];
        else
            file = arg;
    }
    total = std::max(total, kFirstMark);
    const std::string dbPath = std::filesystem::temp_directory_path() /
                               ("speller_memory_bench_" + std::to_string(::getpid()) + ".db");
    try {
        const std::vector<std::string> words = Misspellings(file);
        BenchServer server(dbPath,
                           {"--languages", "en_US", "--backend", "en_US=aspell", "--cache-entries",
                            "0", "--workers", "4", "--spellers-per-language", "2"},
                           binary);
        std::printf("engine server %s, %d clients, %zu distinct misspellings in turn\n",
                    binary.c_str(), clients, words.size());
        const long start = ResidentKiB(server.pid());
        const auto t0 = std::chrono::steady_clock::now();
        Suggest(server, words, kFirstMark, clients);
        const long first = ResidentKiB(server.pid());
        Suggest(server, words, total - kFirstMark, clients);
        const long last = ResidentKiB(server.pid());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("resident at start                 %8ld KiB\n", start);
        std::printf("resident after %8zu suggestions %8ld KiB\n", kFirstMark, first);
        std::printf("resident after %8zu suggestions %8ld KiB   ratio %.2f\n", total, last,
                    static_cast<double>(last) / static_cast<double>(first));
        std::printf("%.0f suggestions/s\n", static_cast<double>(total) / seconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "speller_memory_bench: %s\n", e.what());
        return 1;
    }
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(dbPath + suffix);
    return 0;
}
