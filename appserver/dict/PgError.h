#pragma once
// A failed PostgreSQL command: the server's SQLSTATE code (empty when the connection failed
// before the server answered) and, for a broken constraint, the constraint's name.
#include <stdexcept>
#include <string>

class PgError : public std::runtime_error {
  public:
    static constexpr const char* kSerializationFailure = "40001";
    static constexpr const char* kDeadlock = "40P01";
    static constexpr const char* kUniqueViolation = "23505";
    static constexpr const char* kCheckViolation = "23514";

    PgError(const std::string& message, std::string sqlState, std::string constraint,
            bool connectionLost)
        : std::runtime_error(message),
          sqlState_(std::move(sqlState)),
          constraint_(std::move(constraint)),
          connectionLost_(connectionLost) {}

    const std::string& sqlState() const { return sqlState_; }
    const std::string& constraint() const { return constraint_; }
    // True when the connection is unusable: the work may be retried on a new one.
    bool connectionLost() const { return connectionLost_; }
    // True when running the same transaction again may succeed.
    bool Retryable() const {
        return connectionLost_ || sqlState_ == kSerializationFailure || sqlState_ == kDeadlock;
    }

  private:
    std::string sqlState_;
    std::string constraint_;
    bool connectionLost_;
};
