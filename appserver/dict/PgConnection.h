#pragma once
// One libpq connection, closed on destruction. Commands are parameterised: values travel
// apart from the SQL text, in text form. Not thread-safe: one thread uses it at a time.
#include <initializer_list>
#include <memory>
#include <string>

#include "dict/PgResult.h"

struct pg_conn;

class PgConnection {
  public:
    static constexpr int kConnectTimeoutSeconds = 5;
    static constexpr int kStatementTimeoutMs = 10000;

    // Connects to the libpq connection URI `uri` with UTF-8 as the client encoding; throws
    // PgError (connectionLost) when it cannot. The error message never holds the URI, which
    // may carry a password.
    explicit PgConnection(const std::string& uri);

    // Runs `sql` with $1.. bound to `params`; throws PgError when the command fails.
    PgResult Run(const char* sql, std::initializer_list<std::string> params = {});
    // True while the connection is usable.
    bool ok() const;

  private:
    struct Closer {
        void operator()(pg_conn* conn) const;
    };
    std::unique_ptr<pg_conn, Closer> conn_;
};
