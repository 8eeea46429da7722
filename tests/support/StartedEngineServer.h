#pragma once
// Starts the engine server for a test or a benchmark: on a free loopback port, with its database
// at `dbPath` and its standard error on a pipe, waiting up to 30 s for its ready line. Stopping
// it is the caller's (each caller stops it its own way).
#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

struct StartedEngineServer {
    // `binary` is the engine server's program; `extraArgs` follow "--listen" and "--db".
    static StartedEngineServer Start(const std::string& binary, const std::string& dbPath,
                                     const std::vector<std::string>& extraArgs);

    pid_t pid = -1;     // -1 when it could not be started
    int stderrFd = -1;  // read end of its standard error, owned by the caller
    int port = 0;       // 0 when it did not become ready
    std::string log;    // what it wrote to standard error while starting
};

}  // namespace testsupport
