// The whole service on loopback for the browser tests (they run in Node): starts it through
// the end-to-end tests' LiveService, prints "web=PORT engine=PORT" (or "problem=..."), then
// follows commands on standard input: "stop-engine" stops the engine server; the end of the
// input stops everything.
#include <iostream>
#include <string>

#include "support/LiveService.h"

int main() {
    testsupport::LiveService service;
    if (!service.problem.empty()) {
        std::cout << "problem=" << service.problem << std::endl;
        return service.webServerMissing ? 77 : 1;
    }
    std::cout << "web=" << service.webPort() << " engine=" << service.enginePort() << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "stop-engine") {
            service.StopEngine();
            std::cout << "engine-stopped" << std::endl;
        }
    }
    return 0;
}
