#pragma once
// Base of the system's exceptions: a standard exception that also carries the source module
// (path relative to src/ without extension, e.g. "kernel/filters/Request_FLT") and line of the
// place that raised it. Raise through VERB_THROW so that both are filled in.
#include <stdexcept>
#include <string>
#include <string_view>

class ErrorBase : public std::exception {
  public:
    ErrorBase(std::string file, int line) : file_(std::move(file)), line_(line) {}
    const std::string& file() const noexcept { return file_; }
    int line() const noexcept { return line_; }

  private:
    std::string file_;
    int line_;
};

// "kernel/filters/Request_FLT.cpp" -> "kernel/filters/Request_FLT". Build flags strip the
// source-tree prefix from __FILE__.
std::string ModuleOf(std::string_view sourceFile);

// VERB_THROW(Type, message-and-other-leading-args...): throws Type(args..., module, line).
#define VERB_THROW(Type, ...) throw Type(__VA_ARGS__, ::ModuleOf(__FILE__), __LINE__)
