#pragma once
// Personal dictionaries in a PostgreSQL database that several engine servers share. Every
// change is one transaction that commits before the call returns; the limits hold across all
// servers because they are kept in the database: per-dictionary word and byte counts under
// CHECK constraints, the store's total in a one-row table updated under its row lock. Writers
// to one dictionary queue on its row lock; a transaction that fails on a serialization
// failure, a deadlock or a lost connection is run again. Word sets are cached per server and
// checked against the dictionary's version number on every call, so a change made through
// another server shows at once.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dict/DictionaryStore.h"
#include "dict/PgConnectionPool.h"

class PostgresDictionaryStore final : public DictionaryStore {
  public:
    static constexpr int kMaxAttempts = 8;

    // Connects to the libpq URI `uri` and creates the tables when missing; throws
    // std::runtime_error (PgError) when it cannot.
    explicit PostgresDictionaryStore(const std::string& uri, size_t maxTotalBytes = kMaxTotalBytes);

    void Create(std::string_view name, std::string_view wordList) override;
    void Rename(std::string_view from, std::string_view to) override;
    void Delete(std::string_view name) override;
    bool Exists(std::string_view name) override;
    void AddWords(std::string_view name, std::string_view word, std::string_view wordList) override;
    std::shared_ptr<const WordSet> Words(std::string_view name) override;
    std::string CreateOwned(std::string_view name, std::string_view wordList) override;
    std::string Claim(std::string_view name) override;
    void Authorize(std::string_view name, std::string_view key) override;
    std::vector<std::string> List(std::string_view name, std::string_view key) override;
    void RemoveWord(std::string_view name, std::string_view key, std::string_view word) override;
    std::vector<std::string> Names() override;
    Record Get(std::string_view name) override;
    void Put(const Record& record) override;

  private:
    using Work = std::function<void(PgConnection&)>;
    // Runs `work` inside one transaction, again while it fails in a retryable way.
    void InTransaction(const Work& work);
    // The same for work of one read-only statement, which needs no transaction of its own.
    void Read(const Work& work);
    void Retrying(const Work& work, bool transaction);
    // Runs `work` on `conn` (in a transaction when asked); throws what it throws.
    static void RunOnce(PgConnection& conn, const Work& work, bool transaction);
    void CreateTables();
    // Inserts a dictionary named `name`; false when one exists.
    static bool InsertNew(PgConnection& conn, const std::string& name, long long& id);
    // The id of `name` (created when missing), its row locked until the transaction ends.
    static long long LockedIdCreating(PgConnection& conn, const std::string& name);
    // Adds the words the dictionary lacks and counts them against the limits; throws
    // EngineError when one is passed (the transaction then rolls back).
    void InsertWords(PgConnection& conn, long long id, const std::vector<std::string>& words);
    // The id of `name` after checking `key` against its owner, its row locked.
    static long long AuthorizedId(PgConnection& conn, const std::string& name,
                                  std::string_view key);
    static void SetOwnerHash(PgConnection& conn, long long id, const std::string& hash);

    struct Cached {
        long long id = 0;
        long long version = 0;
        std::shared_ptr<const WordSet> words;
    };

    PgConnectionPool pool_;
    const size_t maxTotalBytes_;
    std::mutex cacheMutex_;
    std::unordered_map<std::string, Cached> cache_;
};
