#include "dict/PgConnectionPool.h"

PgConnectionPool::Lease PgConnectionPool::Acquire() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!idle_.empty()) {
            std::unique_ptr<PgConnection> conn = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(conn));
        }
    }
    return Lease(*this, std::make_unique<PgConnection>(uri_));  // connecting takes no lock
}

void PgConnectionPool::GiveBack(std::unique_ptr<PgConnection> conn) {
    if (!conn || !conn->ok()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (idle_.size() < kMaxIdle) idle_.push_back(std::move(conn));
}
