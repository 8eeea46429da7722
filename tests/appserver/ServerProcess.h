#pragma once
// A real engine server for one test: started on a free loopback port with a database in a
// temporary folder, stopped (SIGTERM, then SIGKILL) when the object goes away.
#include <sys/types.h>

#include <string>
#include <vector>

namespace apptest {

class ServerProcess {
  public:
    // Starts the server with `extraArgs` and waits for its ready line; fails the test (via
    // ADD_FAILURE) and leaves port() at 0 when it does not come up.
    explicit ServerProcess(const std::string& dbPath, std::vector<std::string> extraArgs = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    // Sends SIGTERM and returns the exit status (waitpid form), -1 when it did not stop in time.
    int Terminate();
    // SIGKILL, as a crash would.
    void Kill();
    // Everything the server wrote to standard error so far (after Terminate or Kill: all).
    std::string log() const { return log_; }

  private:
    int Wait(int timeoutMs);

    pid_t pid_ = -1;
    int stderrFd_ = -1;
    int port_ = 0;
    std::string log_;
};

}  // namespace apptest
