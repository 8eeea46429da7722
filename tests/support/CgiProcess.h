#pragma once
// Runs a CGI program as a web server would: a clean environment holding only the given
// variables, the body on standard input, standard output captured, and the working directory
// `workingDir` (web servers use the program's folder; empty: the caller's).
#include <map>
#include <string>

namespace testsupport {

struct CgiResult {
    int exitCode = -1;   // -1 when the process did not exit normally
    int signal = 0;      // the terminating signal, if any
    std::string output;  // everything written to standard output
};

CgiResult RunCgi(const std::string& program, const std::map<std::string, std::string>& env,
                 const std::string& body = "", int timeoutMs = 20000,
                 const std::string& workingDir = "");

// A runnable tree as `make install` lays it out: root/cgi-bin/<program> (a copy of the built
// binary), root/cgi-bin/<ini>, root/srv/logs/. Removed with the TempDir.
class InstalledTree {
  public:
    explicit InstalledTree(const std::string& root);
    // Copies the built binary into cgi-bin/ and returns the copy's path.
    std::string AddProgram(const std::string& builtBinary, const std::string& name) const;
    std::string cgiBin() const { return root_ + "cgi-bin/"; }
    std::string logs() const { return root_ + "srv/logs/"; }

  private:
    std::string root_;
};

}  // namespace testsupport
