#pragma once
// Copies the CGI environment values later stages read (both programs, second stage: before the
// request and the INI file, whose values of the same names replace these).
// Writes string-map "HTTP_HOST" (HTTP_HOST or empty), "HTTP_OR_HTTPS" ("https" when HTTPS is
// "on" in any case, else "http"), "REQUEST_PATH" (scheme "://" host SCRIPT_NAME, the program's
// absolute URL; empty without SCRIPT_NAME, only SCRIPT_NAME without a host), and InternalData
// HttpAccept when HTTP_ACCEPT is set. Throws nothing of its own.
#include <functional>
#include <optional>
#include <string>

#include "kernel/Filter.h"

class EnvVarLoad_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(EnvVarLoad_FLTException);

    // The value of an environment variable, nullopt when it is not set.
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // Reads the process environment.
    EnvVarLoad_FLT();
    explicit EnvVarLoad_FLT(Environment environment) : environment_(std::move(environment)) {}

    void apply(StringMap& map, InternalData& data) override;

    static std::optional<std::string> ProcessEnvironment(const std::string& name);

  private:
    Environment environment_;
};
