#pragma once
// The engine server's log: one line per event on standard error, safe from any thread.
// Lines read "YYYY-MM-DD HH:MM:SS LEVEL message"; the ready line is written by the server
// through Info so that scripts can wait for it.
#include <string>

class Log {
  public:
    static void Info(const std::string& message);
    static void Warning(const std::string& message);
    static void Error(const std::string& message);

  private:
    static void Write(const char* level, const std::string& message);
};
