// The engine server's working memory per engine function: for each function that reads a text,
// one call of --bytes (4 MiB by default) at a time, and the growth of the server's resident
// memory during the call as a ratio of the request body's size (the factor the in-flight budget
// weights that function's requests by). Then --clients calls at once (8 by default) of a mix of
// the heaviest functions, as many as the budget admits: how many were admitted, and the
// server's peak against the 256 MB it must stay under.
// Usage: working_memory_bench [--bytes N] [--clients C] [--server PATH] [--mix-only]
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchServer.h"
#include "wire/WireRequest.h"

namespace {

constexpr size_t kDefaultBytes = 4u << 20;
constexpr size_t kLineBytes = 80;
constexpr double kPeakLimitMb = 256;

struct Call {
    const char* function;
    std::vector<std::string> before;  // parameters before the text
    std::vector<std::string> after;   // parameters after the text
    int results;
};

const std::vector<Call>& Calls() {
    static const std::vector<Call> calls = {
        {"check_spelling4", {"en_US", "", ""}, {"", "", ""}, 1},
        {"check_is_correct4", {"en_US", "", ""}, {"", ""}, 1},
        {"get_all_suggestions4", {"en_US", "", ""}, {"", ""}, 1},
        {"check_and_suggestions", {"en_US", "", ""}, {"", ""}, 1},
        {"check_grammar", {"", ""}, {"0"}, 4},
        {"text_thesaurus", {}, {}, 1},
        {"text_antonyms", {}, {}, 1},
        {"check_matches", {"en_US", ""}, {"", ""}, 1},
        {"get_suggestions4", {"en_US", "", ""}, {"", ""}, 1},
        {"get_syn_list", {}, {}, 1},
        {"update_user_dictionary", {"bench"}, {""}, 0},
    };
    return calls;
}

std::string Numbered(size_t n) {  // distinct letter-only words: qa, qb, ..., qba, ...
    std::string word = "q";
    do {
        word += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n);
    return word;
}

// Mixed misspellings and known words, or distinct made-up words; a line break every 80 bytes.
std::string Text(bool distinct, size_t bytes) {
    std::string text;
    text.reserve(bytes);
    size_t lineStart = 0;
    for (size_t n = 0; text.size() + 32 <= bytes; ++n) {
        text += distinct ? Numbered(n) + " " : std::string("teh qzx wrod the & house, ");
        if (text.size() - lineStart >= kLineBytes) {
            text.back() = '\n';
            lineStart = text.size();
        }
    }
    return text;
}

std::vector<std::string> Params(const Call& call, const std::string& text) {
    std::vector<std::string> params = call.before;
    params.push_back(text);
    params.insert(params.end(), call.after.begin(), call.after.end());
    return params;
}

double Mb(long kib) { return static_cast<double>(kib) / 1024.0; }

size_t BodyBytes(const Call& call, const std::string& text) {
    return wire::BuildRequestBody(call.function, Params(call, text)).size();
}

void OneAtATime(const BenchServer& server, size_t bytes) {
    std::printf("%-22s %-9s %8s %8s %8s %8s\n", "function", "text", "idle MB", "peak MB", "growth/",
                "status");
    std::printf("%-22s %-9s %8s %8s %8s\n", "", "", "", "", "body");
    for (const Call& call : Calls()) {
        for (const bool distinct : {false, true}) {
            const std::string text = Text(distinct, bytes);
            const long idle = server.StatusKiB("VmRSS:");
            server.ResetPeak();
            std::string status = "ok";
            try {
                server.Results(call.function, Params(call, text), call.results);
            } catch (const std::exception& e) {
                status = std::string(e.what()).substr(0, 60);
            }
            const long peak = server.StatusKiB("VmHWM:");
            std::printf("%-22s %-9s %8.1f %8.1f %8.2f %s\n", call.function,
                        distinct ? "distinct" : "mixed", Mb(idle), Mb(peak),
                        static_cast<double>(peak - idle) * 1024.0 /
                            static_cast<double>(BodyBytes(call, text)),
                        status.c_str());
            std::fflush(stdout);
            // Lets the server give the call's memory back before the next one is measured.
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
}

// Calls of the heaviest kinds at once, each of `bytes`: the server admits what its budget holds.
void AllAtOnce(const BenchServer& server, size_t bytes, int clients) {
    const std::string text = Text(false, bytes);
    const char* heavy[] = {"check_grammar", "check_spelling4", "get_all_suggestions4"};
    const long idle = server.StatusKiB("VmRSS:");
    server.ResetPeak();
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&, c] {
            for (const Call& call : Calls())
                if (call.function == std::string(heavy[c % 3])) try {
                        server.Results(call.function, Params(call, text), call.results);
                    } catch (const std::exception&) {
                        ++refused;  // refused as busy
                    }
        });
    for (auto& t : threads) t.join();
    const double peak = Mb(server.StatusKiB("VmHWM:"));
    std::printf(
        "%d calls at once of %.1f MiB (grammar, spelling, suggestions in turn): %d admitted, %d "
        "refused; idle %.1f MB, peak %.1f MB (%s %.0f MB)\n",
        clients, static_cast<double>(bytes) / (1 << 20), clients - refused.load(), refused.load(),
        Mb(idle), peak, peak <= kPeakLimitMb ? "within" : "OVER", kPeakLimitMb);
}

}  // namespace

int main(int argc, char** argv) {
    size_t bytes = kDefaultBytes;
    int clients = 8;
    std::string binary = APPSERVER_BIN;
    bool mixOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mix-only")
            mixOnly = true;
        else if (i + 1 >= argc)
            break;
        else if (arg == "--bytes")
            bytes = std::stoul(argv[++i]);
        else if (arg == "--clients")
            clients = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--server")
            binary = argv[++i];
    }
    return BenchServer::RunOnScratchDatabase("working_memory_bench", {"--languages", "en_US"},
                                             binary, [&](const BenchServer& server) {
                                                 if (!mixOnly) OneAtATime(server, bytes);
                                                 AllAtOnce(server, bytes, clients);
                                             });
}
