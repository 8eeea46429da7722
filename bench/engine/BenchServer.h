#pragma once
// A running engine server for the benchmark, and one protocol call to it.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class BenchServer {
  public:
    // Starts the server (the program `binary`, this build's by default) on a free loopback port
    // with `args`; throws std::runtime_error when it does not become ready.
    BenchServer(const std::string& dbPath, const std::vector<std::string>& args,
                const std::string& binary = APPSERVER_BIN);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // Starts the server on a database of its own in the temporary folder, runs `work` with it
    // and removes the database. Returns the exit status of a benchmark: 0, or 1 after printing
    // what `bench` could not do.
    static int RunOnScratchDatabase(const std::string& bench, const std::vector<std::string>& args,
                                    const std::string& binary,
                                    const std::function<void(const BenchServer&)>& work);

    int port() const { return port_; }
    pid_t pid() const { return pid_; }

    // One call; returns the first result, throws std::runtime_error on any failure.
    std::string Call(const std::string& function, const std::vector<std::string>& params) const;
    // One call; returns its `count` results, throws std::runtime_error on any failure.
    std::vector<std::string> Results(const std::string& function,
                                     const std::vector<std::string>& params, int count) const;

    // A field of the server's /proc status in KiB ("VmRSS:", "VmHWM:"), -1 when missing.
    long StatusKiB(const char* key) const;
    // Lets VmHWM start again from the resident size now.
    void ResetPeak() const;

  private:
    void Stop();

    pid_t pid_ = -1;
    int stderrFd_ = -1;
    int port_ = 0;
};
