#include "support/PostgresServer.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <random>
#include <vector>

namespace testsupport {
namespace {

constexpr int kLowestPort = 20000;
constexpr int kPortsAbove = 12000;  // ports 20000..31999: below the kernel's ephemeral range
constexpr int kPortAttempts = 8;
constexpr const char* kUser = "nobody";

// The newest installed server version's programs, or empty.
std::string FindBin() {
    std::string best;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ignored)) {
        const std::string bin = entry.path().string() + "/bin";
        if (std::filesystem::exists(bin + "/initdb") && std::filesystem::exists(bin + "/pg_ctl") &&
            bin > best)
            best = bin;
    }
    return best;
}

}  // namespace

PostgresServer* PostgresServer::Shared(std::string& why) {
    static std::once_flag once;
    static std::unique_ptr<PostgresServer> server;
    static std::string problem;
    std::call_once(once, [] {
        const std::string bin = FindBin();
        if (bin.empty()) {
            problem = "PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb)";
            return;
        }
        server.reset(new PostgresServer(bin));
        problem = server->Start();
        if (!problem.empty()) server.reset();
    });
    why = problem;
    return server.get();
}

int PostgresServer::RunTool(const std::string& tool, std::vector<std::string> args, bool asOwner,
                            const std::string& output) {
    std::vector<std::string> argv;
    if (asOwner && ::geteuid() == 0) argv = {"/usr/sbin/runuser", "-u", kUser, "--"};
    argv.push_back(bin_ + "/" + tool);
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        std::vector<char*> raw;
        for (std::string& a : argv) raw.push_back(a.data());
        raw.push_back(nullptr);
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
    int status = -1;
    if (pid > 0) ::waitpid(pid, &status, 0);
    return status;
}

std::string PostgresServer::Start() {
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam(kUser);
        if (!user || !std::filesystem::exists("/usr/sbin/runuser"))
            return "running as root without the user nobody or runuser";
        if (::chown(dir_.str().c_str(), user->pw_uid, user->pw_gid) != 0)
            return "cannot hand the scratch folder to nobody";
    }
    const std::string log = dir_.str() + "setup.log";
    if (RunTool("initdb",
                {"-D", dir_.str() + "data", "-U", "postgres", "-A", "trust", "-E", "UTF8",
                 "--no-locale", "--no-sync"},
                true, log) != 0)
        return "initdb failed: " + ReadFile(log);
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < kPortAttempts; ++attempt)
        if (TryPort(kLowestPort + static_cast<int>(random() % kPortsAbove))) return {};
    return "the scratch PostgreSQL server did not start: " + ReadFile(log);
}

bool PostgresServer::TryPort(int port) {
    // fsync off: the data is thrown away with the folder.
    const std::string options = "-p " + std::to_string(port) + " -k " + dir_.str() +
                                " -c listen_addresses=127.0.0.1 -c fsync=off";
    if (RunTool("pg_ctl",
                {"-D", dir_.str() + "data", "-l", dir_.str() + "server.log", "-w", "-t", "30", "-o",
                 options, "start"},
                true, dir_.str() + "setup.log") != 0)
        return false;
    port_ = port;
    return true;
}

PostgresServer::~PostgresServer() {
    if (port_ != 0)
        RunTool("pg_ctl", {"-D", dir_.str() + "data", "-w", "-m", "immediate", "stop"}, true,
                "/dev/null");
}

std::string PostgresServer::FreshDatabase() {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    const std::string name = "test" + std::to_string(++databases_);
    Query("postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/postgres",
          "CREATE DATABASE " + name + " ENCODING 'UTF8' TEMPLATE template0");
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + name;
}

std::string PostgresServer::Query(const std::string& uri, const std::string& sql) {
    TempDir out;
    const std::string file = out.str() + "out";
    RunTool("psql", {"-X", "-q", "-A", "-t", "-d", uri, "-c", sql}, false, file);
    std::string text = ReadFile(file);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace testsupport
