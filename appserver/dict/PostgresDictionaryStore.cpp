#include "dict/PostgresDictionaryStore.h"

#include <chrono>
#include <thread>

#include "core/EngineError.h"
#include "core/Log.h"
#include "dict/OwnerKey.h"
#include "dict/PgError.h"

namespace {

constexpr int kRetryPauseMs = 5;  // times the attempt number: writers drift apart
// Each cached set costs up to about a megabyte (kMaxWords words in a hash set).
constexpr size_t kMaxCachedDictionaries = 64;
// Serialises the creation of the tables by servers that start together.
constexpr const char* kSchemaLock = "4242028";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes of lower-case hex text as the database writes it; empty when it is not hex.
std::string Unhex(std::string_view hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return {};
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

// Words travel as one comma-joined parameter: a valid word holds no comma.
std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : ",") + w;
    return out;
}

std::string Number(long long n) { return std::to_string(n); }

}  // namespace

PostgresDictionaryStore::PostgresDictionaryStore(const std::string& uri, size_t maxTotalBytes)
    : pool_(uri), maxTotalBytes_(maxTotalBytes) {
    CreateTables();
}

void PostgresDictionaryStore::CreateTables() {
    const std::string words = Number(kMaxWords);
    const std::string bytes = Number(kMaxDictionaryBytes);
    // The limits are constants of this program, not input.
    const std::string dictionaries =
        "CREATE TABLE IF NOT EXISTS dictionaries("
        " id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
        " word_count INTEGER NOT NULL DEFAULT 0"
        "  CONSTRAINT max_words CHECK (word_count BETWEEN 0 AND " +
        words +
        "),"
        " word_bytes INTEGER NOT NULL DEFAULT 0"
        "  CONSTRAINT max_bytes CHECK (word_bytes BETWEEN 0 AND " +
        bytes +
        "),"
        " version BIGINT NOT NULL DEFAULT 0)";
    InTransaction([&dictionaries](PgConnection& conn) {
        conn.Run("SELECT pg_advisory_xact_lock($1::bigint)", {kSchemaLock});
        if (conn.Run("SHOW server_encoding").Text(0, 0) != "UTF8")
            throw std::runtime_error("the dictionary database must use the UTF8 encoding");
        conn.Run(dictionaries.c_str());
        conn.Run(
            "CREATE TABLE IF NOT EXISTS words("
            " dict_id BIGINT NOT NULL REFERENCES dictionaries(id) ON DELETE CASCADE,"
            " word TEXT NOT NULL, PRIMARY KEY(dict_id, word))");
        conn.Run(
            "CREATE TABLE IF NOT EXISTS owners("
            " dict_id BIGINT PRIMARY KEY REFERENCES dictionaries(id) ON DELETE CASCADE,"
            " key_hash BYTEA NOT NULL)");
        conn.Run(
            "CREATE TABLE IF NOT EXISTS store_total("
            " id INTEGER PRIMARY KEY CHECK (id = 1),"
            " word_bytes BIGINT NOT NULL CHECK (word_bytes >= 0))");
        conn.Run("INSERT INTO store_total VALUES (1, 0) ON CONFLICT DO NOTHING");
    });
}

void PostgresDictionaryStore::RunOnce(PgConnection& conn, const Work& work, bool transaction) {
    if (!transaction) return work(conn);
    conn.Run("BEGIN");
    try {
        work(conn);
    } catch (...) {
        if (conn.ok()) {
            try {
                conn.Run("ROLLBACK");
            } catch (const PgError&) {  // the connection broke: the server rolls back
            }
        }
        throw;
    }
    try {
        conn.Run("COMMIT");
    } catch (const PgError& e) {
        // A commit whose answer was lost may have happened: running the work again could
        // answer "already exists" for a dictionary this call made, or lose an owner key.
        if (e.connectionLost())
            throw std::runtime_error("dictionary database: connection lost while committing");
        throw;
    }
}

void PostgresDictionaryStore::InTransaction(const Work& work) { Retrying(work, true); }

void PostgresDictionaryStore::Read(const Work& work) { Retrying(work, false); }

void PostgresDictionaryStore::Retrying(const Work& work, bool transaction) {
    for (int attempt = 1;; ++attempt) {
        try {
            PgConnectionPool::Lease conn = pool_.Acquire();
            RunOnce(*conn, work, transaction);
            return;
        } catch (const PgError& e) {
            if (!e.Retryable() || attempt == kMaxAttempts) throw;
            if (e.connectionLost() && attempt == 1)  // once per call, not per attempt
                Log::Warning(std::string("dictionary store retries: ") + e.what());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs * attempt));
    }
}

bool PostgresDictionaryStore::InsertNew(PgConnection& conn, const std::string& name,
                                        long long& id) {
    const PgResult inserted = conn.Run(
        "INSERT INTO dictionaries(name) VALUES ($1) ON CONFLICT (name) DO NOTHING RETURNING id",
        {name});
    if (inserted.rows() == 0) return false;
    id = inserted.Int(0, 0);
    return true;
}

long long PostgresDictionaryStore::LockedIdCreating(PgConnection& conn, const std::string& name) {
    conn.Run("INSERT INTO dictionaries(name) VALUES ($1) ON CONFLICT (name) DO NOTHING", {name});
    const PgResult locked =
        conn.Run("SELECT id FROM dictionaries WHERE name = $1 FOR UPDATE", {name});
    // Deleted or renamed by another server in between: the transaction runs again.
    if (locked.rows() == 0)
        throw PgError("dictionary vanished while locked", PgError::kSerializationFailure, "",
                      false);
    return locked.Int(0, 0);
}

void PostgresDictionaryStore::InsertWords(PgConnection& conn, long long id,
                                          const std::vector<std::string>& words) {
    long long added = 0;
    try {
        // Inserting and counting is one statement, so the counts cannot drift from the words;
        // a call that adds nothing leaves the version (and the servers' caches) alone.
        const PgResult counted = conn.Run(
            "WITH added AS ("
            " INSERT INTO words(dict_id, word)"
            " SELECT DISTINCT $1::bigint, w FROM unnest(string_to_array($2, ',')) w"
            " ON CONFLICT DO NOTHING RETURNING octet_length(word) AS bytes),"
            " sums AS (SELECT COUNT(*) AS n, COALESCE(SUM(bytes), 0) AS b FROM added)"
            " UPDATE dictionaries SET word_count = word_count + sums.n,"
            " word_bytes = word_bytes + sums.b, version = version + 1"
            " FROM sums WHERE id = $1 AND sums.n > 0 RETURNING sums.b",
            {Number(id), Joined(words)});
        added = counted.rows() > 0 ? counted.Int(0, 0) : 0;
    } catch (const PgError& e) {
        if (e.sqlState() != PgError::kCheckViolation) throw;
        throw EngineError(e.constraint() == "max_words" ? TooManyWordsMessage()
                                                        : TooManyBytesMessage());
    }
    if (added == 0) return;
    const PgResult total = conn.Run(
        "UPDATE store_total SET word_bytes = word_bytes + $1::bigint"
        " WHERE id = 1 AND word_bytes + $1::bigint <= $2::bigint RETURNING word_bytes",
        {Number(added), Number(static_cast<long long>(maxTotalBytes_))});
    if (total.rows() == 0) throw EngineError(NoRoomMessage());
}

long long PostgresDictionaryStore::AuthorizedId(PgConnection& conn, const std::string& name,
                                                std::string_view key) {
    const PgResult found = conn.Run(
        "SELECT d.id, encode(o.key_hash, 'hex') FROM dictionaries d"
        " LEFT JOIN owners o ON o.dict_id = d.id WHERE d.name = $1 FOR UPDATE OF d",
        {name});
    if (found.rows() == 0) throw EngineError("User dictionary not found");
    const std::string hash = Unhex(found.Text(0, 1));
    if (!found.IsNull(0, 1) && !OwnerKey::Matches(key, hash))
        throw EngineError("Wrong key for the user dictionary");
    return found.Int(0, 0);
}

void PostgresDictionaryStore::SetOwnerHash(PgConnection& conn, long long id,
                                           const std::string& hash) {
    const PgResult set = conn.Run(
        "INSERT INTO owners(dict_id, key_hash) VALUES ($1, decode($2, 'hex'))"
        " ON CONFLICT (dict_id) DO NOTHING RETURNING dict_id",
        {Number(id), OwnerKey::Hex(hash)});
    if (set.rows() == 0) throw EngineError("User dictionary already has an owner");
}

void PostgresDictionaryStore::Create(std::string_view rawName, std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords({}, wordList);
    InTransaction([&](PgConnection& conn) {
        long long id = 0;
        if (!InsertNew(conn, name, id)) throw EngineError("User dictionary already exists");
        InsertWords(conn, id, words);
    });
}

std::string PostgresDictionaryStore::CreateOwned(std::string_view rawName,
                                                 std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords({}, wordList);
    const std::string key = OwnerKey::Generate();
    InTransaction([&](PgConnection& conn) {
        long long id = 0;
        if (!InsertNew(conn, name, id)) throw EngineError("User dictionary already exists");
        InsertWords(conn, id, words);
        SetOwnerHash(conn, id, OwnerKey::Hash(key));
    });
    return key;
}

void PostgresDictionaryStore::Rename(std::string_view rawFrom, std::string_view rawTo) {
    const std::string from = ValidName(rawFrom);
    const std::string to = ValidName(rawTo);
    InTransaction([&](PgConnection& conn) {
        const PgResult found =
            conn.Run("SELECT id FROM dictionaries WHERE name = $1 FOR UPDATE", {from});
        if (found.rows() == 0) throw EngineError("User dictionary not found");
        if (from == to) throw EngineError("User dictionary already exists");
        try {
            conn.Run("UPDATE dictionaries SET name = $1, version = version + 1 WHERE id = $2",
                     {to, found.Text(0, 0)});
        } catch (const PgError& e) {
            if (e.sqlState() != PgError::kUniqueViolation) throw;
            throw EngineError("User dictionary already exists");
        }
    });
}

void PostgresDictionaryStore::Delete(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    InTransaction([&](PgConnection& conn) {
        // Words and owner go with the row (ON DELETE CASCADE); ids are never reused.
        const PgResult deleted =
            conn.Run("DELETE FROM dictionaries WHERE name = $1 RETURNING word_bytes", {name});
        if (deleted.rows() == 0) throw EngineError("User dictionary not found");
        conn.Run(
            "UPDATE store_total SET word_bytes = GREATEST(word_bytes - $1::bigint, 0)"
            " WHERE id = 1",
            {deleted.Text(0, 0)});
    });
}

bool PostgresDictionaryStore::Exists(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    bool exists = false;
    Read([&](PgConnection& conn) {
        exists = conn.Run("SELECT 1 FROM dictionaries WHERE name = $1", {name}).rows() > 0;
    });
    return exists;
}

void PostgresDictionaryStore::AddWords(std::string_view rawName, std::string_view word,
                                       std::string_view wordList) {
    const std::string name = ValidName(rawName);
    const std::vector<std::string> words = ValidWords(word, wordList);
    InTransaction(
        [&](PgConnection& conn) { InsertWords(conn, LockedIdCreating(conn, name), words); });
}

std::shared_ptr<const DictionaryStore::WordSet> PostgresDictionaryStore::Words(
    std::string_view rawName) {
    const std::string name = NameOrEmpty(rawName);
    if (name.empty()) return std::make_shared<const WordSet>();
    std::shared_ptr<const WordSet> words;
    Read([&](PgConnection& conn) {
        const PgResult current =
            conn.Run("SELECT id, version FROM dictionaries WHERE name = $1", {name});
        std::lock_guard<std::mutex> lock(cacheMutex_);
        if (current.rows() == 0) {
            cache_.erase(name);
            words = std::make_shared<const WordSet>();
            return;
        }
        const auto hit = cache_.find(name);
        if (hit != cache_.end() && hit->second.id == current.Int(0, 0) &&
            hit->second.version == current.Int(0, 1)) {
            words = hit->second.words;
        }
    });
    if (words) return words;
    // One statement reads the version and the words from the same snapshot.
    Cached fresh;
    Read([&](PgConnection& conn) {
        const PgResult rows = conn.Run(
            "SELECT d.id, d.version, w.word FROM dictionaries d"
            " LEFT JOIN words w ON w.dict_id = d.id WHERE d.name = $1",
            {name});
        auto set = std::make_shared<WordSet>();
        for (int r = 0; r < rows.rows(); ++r)
            if (!rows.IsNull(r, 2)) set->insert(rows.Text(r, 2));
        fresh = {rows.rows() > 0 ? rows.Int(0, 0) : 0, rows.rows() > 0 ? rows.Int(0, 1) : 0,
                 std::move(set)};
    });
    std::lock_guard<std::mutex> lock(cacheMutex_);
    if (cache_.size() >= kMaxCachedDictionaries) cache_.clear();
    if (fresh.id != 0) cache_[name] = fresh;
    return fresh.words;
}

std::string PostgresDictionaryStore::Claim(std::string_view rawName) {
    const std::string name = ValidName(rawName);
    const std::string key = OwnerKey::Generate();
    InTransaction([&](PgConnection& conn) {
        const PgResult found =
            conn.Run("SELECT id FROM dictionaries WHERE name = $1 FOR UPDATE", {name});
        if (found.rows() == 0) throw EngineError("User dictionary not found");
        SetOwnerHash(conn, found.Int(0, 0), OwnerKey::Hash(key));
    });
    return key;
}

void PostgresDictionaryStore::Authorize(std::string_view rawName, std::string_view key) {
    const std::string name = ValidName(rawName);
    InTransaction([&](PgConnection& conn) { AuthorizedId(conn, name, key); });
}

std::vector<std::string> PostgresDictionaryStore::List(std::string_view rawName,
                                                       std::string_view key) {
    const std::string name = ValidName(rawName);
    std::vector<std::string> words;
    InTransaction([&](PgConnection& conn) {
        const long long id = AuthorizedId(conn, name, key);
        const PgResult rows = conn.Run(
            "SELECT word FROM words WHERE dict_id = $1 ORDER BY word COLLATE \"C\"", {Number(id)});
        words.clear();
        for (int r = 0; r < rows.rows(); ++r) words.push_back(rows.Text(r, 0));
    });
    return words;
}

void PostgresDictionaryStore::RemoveWord(std::string_view rawName, std::string_view key,
                                         std::string_view word) {
    const std::string name = ValidName(rawName);
    InTransaction([&](PgConnection& conn) {
        const std::string id = Number(AuthorizedId(conn, name, key));
        const PgResult removed = conn.Run(
            "DELETE FROM words WHERE dict_id = $1 AND word = $2 RETURNING octet_length(word)",
            {id, std::string(word)});
        if (removed.rows() == 0) return;
        conn.Run(
            "UPDATE dictionaries SET word_count = word_count - 1,"
            " word_bytes = word_bytes - $2::integer, version = version + 1 WHERE id = $1",
            {id, removed.Text(0, 0)});
        conn.Run(
            "UPDATE store_total SET word_bytes = GREATEST(word_bytes - $1::bigint, 0)"
            " WHERE id = 1",
            {removed.Text(0, 0)});
    });
}

std::vector<std::string> PostgresDictionaryStore::Names() {
    std::vector<std::string> names;
    Read([&](PgConnection& conn) {
        const PgResult rows = conn.Run("SELECT name FROM dictionaries ORDER BY name COLLATE \"C\"");
        names.clear();
        for (int r = 0; r < rows.rows(); ++r) names.push_back(rows.Text(r, 0));
    });
    return names;
}

DictionaryStore::Record PostgresDictionaryStore::Get(std::string_view rawName) {
    Record record{ValidName(rawName), {}, {}};
    InTransaction([&](PgConnection& conn) {
        const PgResult found = conn.Run(
            "SELECT d.id, encode(o.key_hash, 'hex') FROM dictionaries d"
            " LEFT JOIN owners o ON o.dict_id = d.id WHERE d.name = $1",
            {record.name});
        if (found.rows() == 0) throw EngineError("User dictionary not found");
        record.ownerHash = Unhex(found.Text(0, 1));
        const PgResult rows =
            conn.Run("SELECT word FROM words WHERE dict_id = $1 ORDER BY word COLLATE \"C\"",
                     {found.Text(0, 0)});
        record.words.clear();
        for (int r = 0; r < rows.rows(); ++r) record.words.push_back(rows.Text(r, 0));
    });
    return record;
}

void PostgresDictionaryStore::Put(const Record& record) {
    const std::string name = ValidName(record.name);
    InTransaction([&](PgConnection& conn) {
        const long long id = LockedIdCreating(conn, name);
        InsertWords(conn, id, record.words);
        const PgResult owner =
            conn.Run("SELECT encode(key_hash, 'hex') FROM owners WHERE dict_id = $1", {Number(id)});
        const std::string hash = owner.rows() > 0 ? Unhex(owner.Text(0, 0)) : std::string();
        if (hash.empty() && !record.ownerHash.empty()) SetOwnerHash(conn, id, record.ownerHash);
        if (!hash.empty() && hash != record.ownerHash)
            throw EngineError("User dictionary already has an owner");
    });
}
