// Sends hostile requests of one size (default 4 MiB) to orthd.cgi, run as a web server runs it
// (one process per request, body on standard input), with the engine server behind it, and
// prints for each: wall time, the time as a ratio of a benign request of the same size (prose
// in correct words) measured in this run, the CPU time of the CGI process alone (the rest of
// the wall time is the engine server's), its peak resident memory, and the answer's size as a
// ratio of the request's.
//
//   hostile_bench [--bytes N] [--orthd path/to/orthd.cgi] [--only name]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/StartedEngineServer.h"

namespace fs = std::filesystem;

namespace {

struct Pattern {
    const char* name;
    const char* command;
    std::string unit;  // repeated, URL-encoded, into "text" (or the body itself when raw)
    bool raw = false;  // the unit fills the body after the parameters, outside "text"
};

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;  // of orthd.cgi alone (the rest of the wall time is the engine's)
    long peakKiB = 0;
    size_t answerBytes = 0;
    int status = 0;
};

std::string Numbered(size_t n) {  // distinct letter-only words: qa, qb, ..., qba, ...
    std::string word = "q";
    do {
        word += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n);
    return word + "+";
}

std::string Body(const Pattern& p, size_t bytes) {
    std::string body = std::string("cmd=") + p.command + "&slang=en_US&text=";
    if (p.raw) body += "word&";
    if (!p.unit.empty()) {
        while (body.size() + p.unit.size() <= bytes) body += p.unit;
    } else {
        for (size_t n = 0; body.size() < bytes - 16; ++n) body += Numbered(n);
    }
    return body;
}

// Runs the CGI program on `body`; peak memory from the child's own resource usage.
Run RunCgi(const std::string& program, const std::string& body) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        const std::string length = "CONTENT_LENGTH=" + std::to_string(body.size());
        const char* env[] = {"REQUEST_METHOD=POST",
                             length.c_str(),
                             "CONTENT_TYPE=application/x-www-form-urlencoded",
                             "SCRIPT_NAME=/cgi-bin/orthd.cgi",
                             "HTTP_HOST=127.0.0.1",
                             "REMOTE_ADDR=127.0.0.1",
                             nullptr};
        fs::current_path(fs::path(program).parent_path());
        execle(program.c_str(), program.c_str(), nullptr, env);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    signal(SIGPIPE, SIG_IGN);
    Run run;
    // The program reads its whole body before it writes: no deadlock writing first.
    for (size_t sent = 0; sent < body.size();) {
        const ssize_t n = write(in[1], body.data() + sent, body.size() - sent);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    close(in[1]);
    char buffer[1 << 16];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        run.answerBytes += static_cast<size_t>(n);
    close(out[0]);
    rusage usage{};
    wait4(pid, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

std::string Tree(const fs::path& dir, const std::string& orthd, int enginePort) {
    const fs::path data = fs::path(VERBARIUM_SOURCE_DIR) / "data";
    fs::create_directories(dir / "cgi-bin");
    fs::create_directories(dir / "srv" / "logs");
    fs::copy(data / "texts", dir / "texts", fs::copy_options::recursive);
    fs::copy(data / "templates", dir / "templates", fs::copy_options::recursive);
    std::ofstream ini(dir / "cgi-bin" / "orthd.ini");
    // The first occurrence of a key wins: the port goes before the shipped file.
    ini << "appserver_port=" << enginePort << "\n"
        << std::ifstream(data / "cgi-bin" / "orthd.ini").rdbuf();
    const fs::path program = dir / "cgi-bin" / "orthd.cgi";
    fs::copy_file(orthd, program);
    return program.string();
}

}  // namespace

int main(int argc, char** argv) {
    size_t bytes = 4u << 20;
    std::string orthd = ORTHD_CGI;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--bytes") bytes = std::stoul(argv[i + 1]);
        if (arg == "--orthd") orthd = argv[i + 1];
        if (arg == "--only") only = argv[i + 1];
    }
    const fs::path dir = fs::temp_directory_path() / ("hostile_bench." + std::to_string(getpid()));
    fs::create_directories(dir);
    auto engine = testsupport::StartedEngineServer::Start(
        APPSERVER_BIN, (dir / "engine.db").string(), {"--languages", "en_US"});
    if (engine.port == 0) {
        std::fprintf(stderr, "the engine server did not start:\n%s\n", engine.log.c_str());
        return 1;
    }
    const std::string program = Tree(dir, orthd, engine.port);
    const std::vector<Pattern> patterns = {
        {"prose (baseline)", "spell", "the+quick+brown+fox+jumps+over+the+lazy+dog+"},
        {"misspellings", "spell", "qzx+"},
        {"no-break spaces", "spell", "%C2%A0"},
        {"tabs", "spell", "%09"},
        {"ampersands in text", "spell", "%26"},
        {"ampersands in body", "spell", "&", true},
        {"open angles", "spell", "%3C"},
        {"bold tags", "spell", "%3Cb%3E"},
        {"named references", "spell", "%26amp%3B"},
        {"open brackets", "spell", "%5B"},
        {"forum tags", "spell", "%5BB%5D"},
        {"hashes", "spell", "%23"},
        {"check misspellings", "check", "qzx+"},
        {"suggest-all distinct words", "spellsuggestall", ""},
    };
    std::printf("%-28s %8s %8s %8s %9s %8s  %s\n", "pattern", "seconds", "x base", "cgi cpu",
                "peak MB", "answer/", "status");
    std::printf("%-28s %8s %8s %8s %9s %8s\n", "", "(wall)", "", "seconds", "", "request");
    double base = 0;
    for (const Pattern& p : patterns) {
        if (!only.empty() && base > 0 && std::string(p.name).find(only) == std::string::npos)
            continue;
        const std::string body = Body(p, bytes);
        const Run run = RunCgi(program, body);
        if (base == 0) base = run.seconds;
        const bool ok = WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0;
        std::printf("%-28s %8.2f %8.2f %8.2f %9.1f %8.2f  %s\n", p.name, run.seconds,
                    run.seconds / base, run.cpuSeconds, run.peakKiB / 1024.0,
                    static_cast<double>(run.answerBytes) / static_cast<double>(body.size()),
                    ok ? "ok" : (WIFSIGNALED(run.status) ? "killed" : "failed"));
        std::fflush(stdout);
    }
    kill(engine.pid, SIGTERM);
    waitpid(engine.pid, nullptr, 0);
    fs::remove_all(dir);
    return 0;
}
