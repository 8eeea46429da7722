#pragma once
// A request the engine cannot serve: its message goes back to the caller as the one-line
// "VerbarError" answer. Thrown by the services; caught only by the request dispatcher.
#include <stdexcept>
#include <string>

class EngineError : public std::runtime_error {
  public:
    explicit EngineError(const std::string& message) : std::runtime_error(message) {}
};
