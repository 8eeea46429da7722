#pragma once
// Personal dictionaries in an SQLite database (WAL journal, synchronous=FULL): a change is
// on disk before the call returns, so an acknowledged change survives a kill of the server.
// A deleted dictionary's space goes back to the file system (incremental vacuum, the journal
// truncated). One connection behind a mutex; word sets are cached until their dictionary
// changes through this object, and the store's total is counted in memory: one server owns
// the file (several servers share a PostgresDictionaryStore instead).
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dict/DictionaryStore.h"

struct sqlite3;

class SqliteDictionaryStore final : public DictionaryStore {
  public:
    // Opens or creates the database (a database from before incremental vacuum is converted
    // once); throws std::runtime_error when it cannot.
    explicit SqliteDictionaryStore(const std::string& path, size_t maxTotalBytes = kMaxTotalBytes);
    ~SqliteDictionaryStore() override;

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
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    void Execute(const char* sql);
    long long VacuumMode();
    long long IdOf(const std::string& name);  // -1 when missing
    long long Insert(const std::string& name);
    // Returns the bytes of the words that were new; throws when a limit is passed.
    size_t InsertWords(long long id, const std::vector<std::string>& words);
    size_t BytesOf(long long id);
    void GiveBackSpace();
    void Forget(const std::string& name);
    // The stored owner hash of dictionary `id`; empty when it has no owner.
    std::string OwnerHashOf(long long id);
    void SetOwnerHash(long long id, const std::string& hash);
    // The id of `name` after checking `key` against its owner; the mutex must be held.
    long long AuthorizedId(const std::string& name, std::string_view key);

    std::unique_ptr<sqlite3, Closer> db_;
    const size_t maxTotalBytes_;
    size_t totalBytes_ = 0;  // of the words of all dictionaries
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const WordSet>> cache_;
};
