#pragma once
// A JSON API request that cannot be answered: the HTTP status line value ("400 Bad Request")
// and the plain-text message the client gets.
#include <stdexcept>
#include <string>

class ApiFailure : public std::runtime_error {
  public:
    static constexpr char kBadRequest[] = "400 Bad Request";
    static constexpr char kForbidden[] = "403 Forbidden";
    static constexpr char kNotFound[] = "404 Not Found";
    static constexpr char kTooLarge[] = "413 Payload Too Large";
    static constexpr char kUnavailable[] = "503 Service Unavailable";

    ApiFailure(std::string status, const std::string& message)
        : std::runtime_error(message), status_(std::move(status)) {}

    const std::string& status() const { return status_; }

  private:
    std::string status_;
};
