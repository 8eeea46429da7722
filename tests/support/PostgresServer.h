#pragma once
// A scratch PostgreSQL server for the tests of one test binary run: initdb and pg_ctl from
// Debian's postgresql package, a data folder in a temporary folder, listening on a free
// loopback port below 32768 with its unix socket in that folder. Started on first use, stopped
// and removed when the program exits. Run as root, the server runs as "nobody" (initdb refuses
// root).
#include <memory>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

class PostgresServer {
  public:
    // The server of this run, or null with `why` telling what is missing (a test then skips).
    static PostgresServer* Shared(std::string& why);

    // The libpq URI of a new, empty database (UTF-8) on the server.
    std::string FreshDatabase();
    // The unaligned output of `sql` run by psql against `uri`.
    std::string Query(const std::string& uri, const std::string& sql);

    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

  private:
    explicit PostgresServer(std::string bin) : bin_(std::move(bin)) {}
    // Empty when the server runs; otherwise why not.
    std::string Start();
    bool TryPort(int port);
    // Runs a program of the server's bin folder (as the server's user when `asOwner`), its
    // output in the file `output`; returns its exit status.
    int RunTool(const std::string& tool, std::vector<std::string> args, bool asOwner,
                const std::string& output);

    const std::string bin_;
    TempDir dir_;
    int port_ = 0;
    int databases_ = 0;
};

}  // namespace testsupport
