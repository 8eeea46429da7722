#pragma once
// The folder of the running program, where the engine server finds its data files.
#include <string>

class ProgramFolder {
  public:
    // Empty when it cannot be found out.
    static std::string Path();
};
