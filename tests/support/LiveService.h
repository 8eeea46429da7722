#pragma once
// The whole service on loopback for end-to-end tests and benchmarks: the runtime tree installed
// from the build into a temporary folder, the engine server and lighttpd on free ports.
// Everything is stopped and removed on destruction.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

// A child process started with execv, in a process group of its own. Stop (and destruction)
// ends it (SIGTERM, then SIGKILL) and reaps it, then ends what is left of its group. It gets
// SIGTERM when the thread that started it ends: start it from the thread that lives longest.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& argv, const std::string& stderrFile);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess();
    void Stop();
    bool running() const;

  private:
    pid_t pid_ = -1;
};

class LiveService {
  public:
    // Lighttpd and Apache run the programs as CGI; LighttpdFastCgi lets lighttpd start them as
    // FastCGI servers; NginxFastCgi and ApacheFastCgi start orthd.cgi with "--fastcgi" and the
    // web server in front of it.
    enum class WebServer { Lighttpd, Apache, LighttpdFastCgi, NginxFastCgi, ApacheFastCgi };

    // Empty when everything started; otherwise why not (e.g. lighttpd is not installed).
    std::string problem;
    // True when the problem is only a missing web server binary.
    bool webServerMissing = false;

    // Further command-line arguments of the engine servers and of orthd.cgi's "--fastcgi" (the
    // latter with NginxFastCgi and ApacheFastCgi only).
    struct ExtraArguments {
        std::vector<std::string> engine;
        std::vector<std::string> orthd;
    };
    // The scale-out layout: several engine servers (orthd lists them all) sharing one
    // dictionary database (a libpq URI; empty: an SQLite file of the first engine), and, with
    // NginxFastCgi, several FastCGI pools of orthd.cgi behind nginx's upstream.
    struct Layout {
        int engines = 1;
        int pools = 1;
        std::string database;
    };

    explicit LiveService(WebServer server = WebServer::Lighttpd, ExtraArguments extra = {});
    LiveService(WebServer server, Layout layout, ExtraArguments extra = {});
    unsigned short webPort() const { return webPort_; }
    // The port a program started with "--metrics-listen ...:0" wrote into its log `file` (in
    // state()) as "metrics on ... (port N"; 0 when it is not there within 10 s.
    int MetricsPort(const std::string& file) const;
    unsigned short enginePort(size_t i = 0) const { return enginePorts_.at(i); }
    unsigned short poolPort(size_t i) const { return fastCgiPorts_.at(i); }
    const std::string& tree() const { return tree_; }
    // Where the generated configurations and logs of this run live.
    const std::string& state() const { return state_; }
    void StopEngine(size_t i = 0) { engines_.at(i).Stop(); }

  private:
    bool install();
    bool startEngines();
    bool startWebServer(WebServer server);
    std::string findWebServer(WebServer server);

    TempDir dir_;
    ExtraArguments extra_;
    std::string tree_;
    std::string state_;
    const Layout layout_;
    unsigned short webPort_ = 0;
    std::vector<unsigned short> enginePorts_;
    std::vector<ChildProcess> engines_;
    ChildProcess web_;
    std::vector<unsigned short> fastCgiPorts_;
    std::vector<ChildProcess> fastCgis_;
};

}  // namespace testsupport
