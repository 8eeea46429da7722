#pragma once
// Connections to one database, shared by threads: a thread leases one for a unit of work and
// gives it back; an idle connection is reused, a broken one is dropped and the next lease
// opens a new one. At most kMaxIdle idle connections are kept (one per busy engine worker).
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dict/PgConnection.h"

class PgConnectionPool {
  public:
    static constexpr size_t kMaxIdle = 16;

    // A leased connection, given back on destruction unless it broke.
    class Lease {
      public:
        Lease(PgConnectionPool& pool, std::unique_ptr<PgConnection> conn)
            : pool_(pool), conn_(std::move(conn)) {}
        ~Lease() { pool_.GiveBack(std::move(conn_)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        PgConnection& operator*() const { return *conn_; }
        PgConnection* operator->() const { return conn_.get(); }

      private:
        PgConnectionPool& pool_;
        std::unique_ptr<PgConnection> conn_;
    };

    explicit PgConnectionPool(std::string uri) : uri_(std::move(uri)) {}

    // An idle connection or a new one; throws PgError when none can be opened.
    Lease Acquire();

  private:
    void GiveBack(std::unique_ptr<PgConnection> conn);

    const std::string uri_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<PgConnection>> idle_;
};
