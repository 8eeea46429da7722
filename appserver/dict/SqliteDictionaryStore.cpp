#include "dict/SqliteDictionaryStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>

#include "core/EngineError.h"
#include "core/Log.h"
#include "dict/OwnerKey.h"

namespace {

constexpr int kBusyTimeoutMs = 10000;
// Each cached set costs up to about a megabyte (kMaxWords words in a hash set).
constexpr size_t kMaxCachedDictionaries = 64;
// The journal is cut back to this size after a checkpoint instead of keeping its largest.
constexpr int kJournalSizeLimitBytes = 4 << 20;
constexpr int kIncrementalVacuum = 2;  // PRAGMA auto_vacuum

// A prepared statement, finalized on destruction.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int index, const std::string& bytes) {
        sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, long long value) {
        sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    // True while a row is available.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db_));
    }
    void Reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    long long Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string Blob(int column) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                     : std::string();
    }
    std::string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction; ROLLBACK unless Commit was called.
class Transaction {
  public:
    explicit Transaction(sqlite3* db) : db_(db) { Run("BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        Run("COMMIT");
        done_ = true;
    }

  private:
    void Run(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    bool done_ = false;
};

}  // namespace

void SqliteDictionaryStore::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

SqliteDictionaryStore::SqliteDictionaryStore(const std::string& path, size_t maxTotalBytes)
    : maxTotalBytes_(maxTotalBytes) {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot open dictionary database " + path + ": " +
                                 (raw ? sqlite3_errmsg(raw) : "out of memory"));
    sqlite3_busy_timeout(db_.get(), kBusyTimeoutMs);
    if (VacuumMode() != kIncrementalVacuum) {
        Execute("PRAGMA auto_vacuum=INCREMENTAL");
        Execute("VACUUM");  // an existing file takes the mode only when rebuilt
    }
    Execute("PRAGMA journal_mode=WAL");
    Execute(("PRAGMA journal_size_limit=" + std::to_string(kJournalSizeLimitBytes)).c_str());
    Execute("PRAGMA synchronous=FULL");
    Execute(
        "CREATE TABLE IF NOT EXISTS dictionaries("
        " id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)");
    Execute(
        "CREATE TABLE IF NOT EXISTS words("
        " dict_id INTEGER NOT NULL, word TEXT NOT NULL, PRIMARY KEY(dict_id, word)) WITHOUT ROWID");
    Execute(
        "CREATE TABLE IF NOT EXISTS owners("
        " dict_id INTEGER PRIMARY KEY, key_hash BLOB NOT NULL)");
    Statement total(db_.get(), "SELECT COALESCE(SUM(LENGTH(CAST(word AS BLOB))), 0) FROM words");
    total.Step();
    totalBytes_ = static_cast<size_t>(total.Int(0));
}

SqliteDictionaryStore::~SqliteDictionaryStore() = default;

long long SqliteDictionaryStore::VacuumMode() {
    Statement mode(db_.get(), "PRAGMA auto_vacuum");
    return mode.Step() ? mode.Int(0) : -1;
}

void SqliteDictionaryStore::Execute(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("sqlite: " + message);
    }
}

long long SqliteDictionaryStore::IdOf(const std::string& name) {
    Statement query(db_.get(), "SELECT id FROM dictionaries WHERE name = ?1");
    query.Bind(1, name);
    return query.Step() ? query.Int(0) : -1;
}

long long SqliteDictionaryStore::Insert(const std::string& name) {
    Statement insert(db_.get(), "INSERT INTO dictionaries(name) VALUES (?1)");
    insert.Bind(1, name).Step();
    return sqlite3_last_insert_rowid(db_.get());
}

size_t SqliteDictionaryStore::InsertWords(long long id, const std::vector<std::string>& words) {
    Statement insert(db_.get(), "INSERT OR IGNORE INTO words(dict_id, word) VALUES (?1, ?2)");
    size_t added = 0;
    for (const std::string& w : words) {
        insert.Bind(1, id).Bind(2, w).Step();
        if (sqlite3_changes(db_.get()) > 0) added += w.size();
        insert.Reset();
    }
    Statement count(db_.get(), "SELECT COUNT(*) FROM words WHERE dict_id = ?1");
    count.Bind(1, id).Step();
    if (static_cast<size_t>(count.Int(0)) > kMaxWords) throw EngineError(TooManyWordsMessage());
    if (added > 0 && BytesOf(id) > kMaxDictionaryBytes) throw EngineError(TooManyBytesMessage());
    if (added > maxTotalBytes_ - std::min(totalBytes_, maxTotalBytes_))
        throw EngineError(NoRoomMessage());
    return added;
}

size_t SqliteDictionaryStore::BytesOf(long long id) {
    Statement bytes(db_.get(),
                    "SELECT COALESCE(SUM(LENGTH(CAST(word AS BLOB))), 0) FROM words "
                    "WHERE dict_id = ?1");
    bytes.Bind(1, id).Step();
    return static_cast<size_t>(bytes.Int(0));
}

void SqliteDictionaryStore::GiveBackSpace() {
    // Free pages leave the file, and the journal that carried them is cut back to nothing. The
    // change is committed already: a failure here only leaves the space for later.
    for (const char* sql : {"PRAGMA incremental_vacuum", "PRAGMA wal_checkpoint(TRUNCATE)"})
        if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            Log::Warning(std::string("dictionary space not given back: ") +
                         sqlite3_errmsg(db_.get()));
}

void SqliteDictionaryStore::Forget(const std::string& name) { cache_.erase(name); }

void SqliteDictionaryStore::Create(std::string_view rawName, std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords({}, wordList);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    if (IdOf(name) >= 0) throw EngineError("User dictionary already exists");
    const size_t added = InsertWords(Insert(name), words);
    transaction.Commit();
    totalBytes_ += added;
    Forget(name);
}

void SqliteDictionaryStore::Rename(std::string_view rawFrom, std::string_view rawTo) {
    const std::string from = ValidName(rawFrom);
    const std::string to = ValidName(rawTo);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    const long long id = IdOf(from);
    if (id < 0) throw EngineError("User dictionary not found");
    if (IdOf(to) >= 0) throw EngineError("User dictionary already exists");
    Statement rename(db_.get(), "UPDATE dictionaries SET name = ?1 WHERE id = ?2");
    rename.Bind(1, to).Bind(2, id).Step();
    transaction.Commit();
    Forget(from);
    Forget(to);
}

void SqliteDictionaryStore::Delete(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    const long long id = IdOf(name);
    if (id < 0) throw EngineError("User dictionary not found");
    const size_t bytes = BytesOf(id);
    Statement words(db_.get(), "DELETE FROM words WHERE dict_id = ?1");
    words.Bind(1, id).Step();
    Statement dictionary(db_.get(), "DELETE FROM dictionaries WHERE id = ?1");
    dictionary.Bind(1, id).Step();
    // Ids may be reused: a later dictionary must not inherit this one's owner.
    Statement owner(db_.get(), "DELETE FROM owners WHERE dict_id = ?1");
    owner.Bind(1, id).Step();
    transaction.Commit();
    totalBytes_ -= std::min(bytes, totalBytes_);
    Forget(name);
    GiveBackSpace();
}

bool SqliteDictionaryStore::Exists(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    std::lock_guard<std::mutex> lock(mutex_);
    return IdOf(name) >= 0;
}

void SqliteDictionaryStore::AddWords(std::string_view rawName, std::string_view word,
                                     std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords(word, wordList);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    long long id = IdOf(name);
    if (id < 0) id = Insert(name);
    const size_t added = InsertWords(id, words);
    transaction.Commit();
    totalBytes_ += added;
    Forget(name);
}

std::shared_ptr<const DictionaryStore::WordSet> SqliteDictionaryStore::Words(
    std::string_view rawName) {
    const std::string name = NameOrEmpty(rawName);
    if (name.empty()) return std::make_shared<const WordSet>();
    std::lock_guard<std::mutex> lock(mutex_);
    if (const auto hit = cache_.find(name); hit != cache_.end()) return hit->second;
    auto words = std::make_shared<WordSet>();
    Statement query(db_.get(),
                    "SELECT w.word FROM words w JOIN dictionaries d ON d.id = w.dict_id "
                    "WHERE d.name = ?1");
    query.Bind(1, name);
    while (query.Step()) words->insert(query.Text(0));
    if (cache_.size() >= kMaxCachedDictionaries) cache_.clear();
    cache_.emplace(name, words);
    return words;
}

std::string SqliteDictionaryStore::OwnerHashOf(long long id) {
    Statement query(db_.get(), "SELECT key_hash FROM owners WHERE dict_id = ?1");
    query.Bind(1, id);
    return query.Step() ? query.Blob(0) : std::string();
}

void SqliteDictionaryStore::SetOwnerHash(long long id, const std::string& hash) {
    Statement insert(db_.get(), "INSERT INTO owners(dict_id, key_hash) VALUES (?1, ?2)");
    insert.Bind(1, id).BindBlob(2, hash).Step();
}

long long SqliteDictionaryStore::AuthorizedId(const std::string& name, std::string_view key) {
    const long long id = IdOf(name);
    if (id < 0) throw EngineError("User dictionary not found");
    const std::string hash = OwnerHashOf(id);
    if (!hash.empty() && !OwnerKey::Matches(key, hash))
        throw EngineError("Wrong key for the user dictionary");
    return id;
}

std::string SqliteDictionaryStore::CreateOwned(std::string_view rawName,
                                               std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords({}, wordList);
    const std::string key = OwnerKey::Generate();
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    if (IdOf(name) >= 0) throw EngineError("User dictionary already exists");
    const long long id = Insert(name);
    const size_t added = InsertWords(id, words);
    SetOwnerHash(id, OwnerKey::Hash(key));
    transaction.Commit();
    totalBytes_ += added;
    Forget(name);
    return key;
}

std::string SqliteDictionaryStore::Claim(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    const std::string key = OwnerKey::Generate();
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    const long long id = IdOf(name);
    if (id < 0) throw EngineError("User dictionary not found");
    if (!OwnerHashOf(id).empty()) throw EngineError("User dictionary already has an owner");
    SetOwnerHash(id, OwnerKey::Hash(key));
    transaction.Commit();
    return key;
}

void SqliteDictionaryStore::Authorize(std::string_view rawName, std::string_view key) {
    const std::string name = ValidName(rawName);
    std::lock_guard<std::mutex> lock(mutex_);
    AuthorizedId(name, key);
}

std::vector<std::string> SqliteDictionaryStore::List(std::string_view rawName,
                                                     std::string_view key) {
    const std::string name = ValidName(rawName);
    std::lock_guard<std::mutex> lock(mutex_);
    Statement query(db_.get(), "SELECT word FROM words WHERE dict_id = ?1 ORDER BY word");
    query.Bind(1, AuthorizedId(name, key));
    std::vector<std::string> words;
    while (query.Step()) words.push_back(query.Text(0));
    return words;
}

void SqliteDictionaryStore::RemoveWord(std::string_view rawName, std::string_view key,
                                       std::string_view word) {
    const std::string name = ValidName(rawName);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    Statement remove(db_.get(), "DELETE FROM words WHERE dict_id = ?1 AND word = ?2");
    remove.Bind(1, AuthorizedId(name, key)).Bind(2, std::string(word)).Step();
    const size_t removed = sqlite3_changes(db_.get()) > 0 ? word.size() : 0;
    transaction.Commit();
    totalBytes_ -= std::min(removed, totalBytes_);
    Forget(name);
}

std::vector<std::string> SqliteDictionaryStore::Names() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement query(db_.get(), "SELECT name FROM dictionaries ORDER BY name");
    std::vector<std::string> names;
    while (query.Step()) names.push_back(query.Text(0));
    return names;
}

DictionaryStore::Record SqliteDictionaryStore::Get(std::string_view rawName) {
    Record record{ValidName(rawName), {}, {}};
    std::lock_guard<std::mutex> lock(mutex_);
    const long long id = IdOf(record.name);
    if (id < 0) throw EngineError("User dictionary not found");
    Statement query(db_.get(), "SELECT word FROM words WHERE dict_id = ?1 ORDER BY word");
    query.Bind(1, id);
    while (query.Step()) record.words.push_back(query.Text(0));
    record.ownerHash = OwnerHashOf(id);
    return record;
}

void SqliteDictionaryStore::Put(const Record& record) {
    const std::string name = ValidName(record.name);
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction transaction(db_.get());
    long long id = IdOf(name);
    if (id < 0) id = Insert(name);
    const size_t added = InsertWords(id, record.words);
    const std::string hash = OwnerHashOf(id);
    if (hash.empty() && !record.ownerHash.empty()) SetOwnerHash(id, record.ownerHash);
    if (!hash.empty() && hash != record.ownerHash)
        throw EngineError("User dictionary already has an owner");
    transaction.Commit();
    totalBytes_ += added;
    Forget(name);
}
