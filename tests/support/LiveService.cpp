#include "support/LiveService.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>
#include <utility>

#include "support/FakeEngineServer.h"
#include "support/HttpClient.h"
#include "support/ProcessTable.h"

namespace testsupport {
namespace {

constexpr int kStartTimeoutMs = 30000;

bool WaitFor(const std::function<bool()>& ready) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// How long a stopped process and then what is left of its group have to end before SIGKILL.
constexpr int kStopWaitMs = 2000;
constexpr int kStopPollMs = 20;

// Whether child `pid` has ended within `ms` (then it is reaped).
bool Reaped(pid_t pid, int ms) {
    for (int waited = 0;; waited += kStopPollMs) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) return true;
        if (waited >= ms) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollMs));
    }
}

// Whether no live process of group `group` is left within `ms` (ended ones that wait for
// their parent to reap them do not count).
bool GroupEnded(pid_t group, int ms) {
    for (int waited = 0;; waited += kStopPollMs) {
        if (ProcessTable().InGroup(group).empty()) return true;
        if (waited >= ms) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollMs));
    }
}

// Whether `child` wrote `line` into its `log` (and still runs) within kStartTimeoutMs.
bool Announced(const ChildProcess& child, const std::string& log, const std::string& line) {
    return WaitFor(
               [&] { return ReadFile(log).find(line) != std::string::npos || !child.running(); }) &&
           child.running();
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::vector<unsigned short> UnusedLoopbackPorts(int count) {
    std::vector<unsigned short> ports;
    for (int i = 0; i < count; ++i) ports.push_back(UnusedLoopbackPort());
    return ports;
}

std::string Listed(const std::vector<unsigned short>& ports) {
    std::string out;
    for (unsigned short p : ports) out += (out.empty() ? "" : ",") + std::to_string(p);
    return out;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& stderrFile) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // A group of its own: Apache's prefork parent signals its whole process group on stop,
        // and Stop ends whatever the child leaves of that group. SIGTERM when the test process
        // ends without stopping it (a crash, a time-out's SIGKILL).
        setpgid(0, 0);
        testsupport::EndWithParent(parent);
        const int err = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) {
            dup2(err, 2);
            dup2(err, 1);
        }
        execv(args[0], args.data());
        _exit(127);
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Stop();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::running() const {
    return pid_ > 0 && kill(pid_, 0) == 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

void ChildProcess::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (!Reaped(pid_, kStopWaitMs)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    // Processes it started and left behind (a web server's FastCGI programs) share its group.
    if (!GroupEnded(pid_, 0)) {
        kill(-pid_, SIGTERM);
        if (!GroupEnded(pid_, kStopWaitMs)) kill(-pid_, SIGKILL);
    }
    pid_ = -1;
}

LiveService::LiveService(WebServer server, ExtraArguments extra)
    : LiveService(server, Layout{}, std::move(extra)) {}

LiveService::LiveService(WebServer server, Layout layout, ExtraArguments extra)
    : extra_(std::move(extra)),
      tree_(dir_.str() + "tree"),
      state_(dir_.str() + "state"),
      layout_(std::move(layout)) {
    // Ports are picked, released and bound later by other processes; when another test took
    // one in between, start again on fresh ones.
    for (int attempt = 0; attempt < 4; ++attempt) {
        problem.clear();
        webPort_ = UnusedLoopbackPort();
        enginePorts_ = UnusedLoopbackPorts(layout_.engines);
        fastCgiPorts_ = UnusedLoopbackPorts(layout_.pools);
        if (install() && startEngines()) startWebServer(server);
        if (problem.find("already in use") == std::string::npos) return;
        web_.Stop();
        fastCgis_.clear();
        engines_.clear();
    }
}

bool LiveService::install() {
    const std::string source = VERBARIUM_SOURCE_DIR;
    const std::string command = "cmake --install " + Quote(VERBARIUM_BINARY_DIR) + " --prefix " +
                                Quote(tree_) + " >/dev/null && " +
                                Quote(source + "/scripts/prepare-tree.sh") + " " + Quote(tree_) +
                                " " + Quote(state_) + " 127.0.0.1 " + std::to_string(webPort_) +
                                " " + Listed(enginePorts_) + " " + Listed(fastCgiPorts_);
    if (std::system(command.c_str()) != 0) problem = "cannot install the runtime tree: " + command;
    return problem.empty();
}

bool LiveService::startEngines() {
    const std::string db =
        layout_.database.empty() ? state_ + "/dictionaries.db" : layout_.database;
    for (size_t i = 0; i < enginePorts_.size() && problem.empty(); ++i) {
        const std::string log = state_ + "/appserver" + (i ? std::to_string(i) : "") + ".log";
        // The test run's engines share one folder of suggestion indexes (each built once).
        std::vector<std::string> argv = {tree_ + "/bin/appserver",
                                         "--listen",
                                         "127.0.0.1:" + std::to_string(enginePorts_[i]),
                                         "--db",
                                         db,
                                         "--index-dir",
                                         std::string(VERBARIUM_BINARY_DIR) + "/suggestion-index"};
        argv.insert(argv.end(), extra_.engine.begin(), extra_.engine.end());
        if (!Announced(engines_.emplace_back(argv, log), log, "ready on"))
            problem = "the engine server did not start: " + ReadFile(log);
    }
    return problem.empty();
}

std::string LiveService::findWebServer(WebServer server) {
    const bool apache = server == WebServer::Apache || server == WebServer::ApacheFastCgi;
    const char* name = apache                              ? "apache2"
                       : server == WebServer::NginxFastCgi ? "nginx"
                                                           : "lighttpd";
    for (const std::string dir : {"/usr/sbin/", "/usr/bin/"})
        if (std::filesystem::exists(dir + name)) return dir + name;
    problem = std::string(name) + " is not installed (scripts/install-deps.sh installs it)";
    webServerMissing = true;
    return {};
}

bool LiveService::startWebServer(WebServer server) {
    const std::string binary = findWebServer(server);
    if (binary.empty()) return false;
    std::vector<std::string> argv = {binary, "-D", "-f", state_ + "/lighttpd.conf"};
    std::string errorLog = state_ + "/lighttpd.error.log";
    if (server == WebServer::LighttpdFastCgi) argv[3] = state_ + "/lighttpd-fastcgi.conf";
    const bool ownFastCgi = server == WebServer::NginxFastCgi || server == WebServer::ApacheFastCgi;
    for (size_t i = 0; ownFastCgi && i < fastCgiPorts_.size(); ++i) {
        std::vector<std::string> orthd = {tree_ + "/cgi-bin/orthd.cgi", "--fastcgi",
                                          "127.0.0.1:" + std::to_string(fastCgiPorts_[i]),
                                          "--workers", "2"};
        orthd.insert(orthd.end(), extra_.orthd.begin(), extra_.orthd.end());
        const std::string log = state_ + "/fastcgi" + (i ? std::to_string(i) : "") + ".out";
        // Its listening socket is open once it says so: connections wait there for a worker.
        if (!Announced(fastCgis_.emplace_back(orthd, log), log, "FastCGI on")) {
            problem = "a FastCGI pool did not start: " + ReadFile(log);
            return false;
        }
    }
    if (server == WebServer::NginxFastCgi) {
        errorLog = state_ + "/nginx.error.log";
        argv = {binary, "-e", errorLog, "-c", state_ + "/nginx.conf"};
    }
    if (server == WebServer::Apache || ownFastCgi) {
        // A web server started as root reads files as www-data or nobody: open the tree to it.
        namespace fs = std::filesystem;
        for (const fs::path& p : {dir_.path(), fs::path(tree_), fs::path(state_)})
            fs::permissions(p, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
        fs::permissions(tree_ + "/srv/logs", fs::perms::all);
    }
    if (server == WebServer::Apache || server == WebServer::ApacheFastCgi) {
        const char* conf = server == WebServer::Apache ? "/apache.conf" : "/apache-fastcgi.conf";
        argv = {binary, "-f", state_ + conf, "-DFOREGROUND"};
        errorLog = state_ + "/apache.error.log";
    }
    // Another process may hold the port (ours failed to bind and has not exited yet): only our
    // own tree's answer counts as started.
    const std::string token = state_;
    dir_.Write("tree/www/live-service.txt", token);
    web_ = ChildProcess(argv, state_ + "/webserver.out");
    if (!WaitFor([&] {
            return HttpRequest(webPort_, "GET", "/live-service.txt").body == token ||
                   !web_.running();
        }) ||
        !web_.running())
        problem = "the web server did not start: " + ReadFile(errorLog) +
                  ReadFile(state_ + "/webserver.out");
    return problem.empty();
}

int LiveService::MetricsPort(const std::string& file) const {
    const std::regex line("metrics on [^ ]+ \\(port ([0-9]+)");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        std::smatch match;
        const std::string text = ReadFile(state_ + "/" + file);
        if (std::regex_search(text, match, line)) return std::stoi(match[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

}  // namespace testsupport
