#pragma once
// Personal dictionaries in an SQLite database (WAL journal, synchronous=FULL): a change is
// on disk before the call returns, so an acknowledged change survives a kill of the server.
//
// Names: 1..kMaxNameBytes bytes of UTF-8 without control bytes or commas; the byte 0x08
// stands for a blank (the form in which names travel inside user-dictionary lists) and is
// stored as a blank. Words: 1..kMaxWordBytes bytes of UTF-8 without control bytes or commas.
// A dictionary holds at most kMaxWords words and kMaxDictionaryBytes bytes of words; all
// dictionaries together at most the store's total (the constructor's maxTotalBytes). A deleted
// dictionary's space goes back to the file system (incremental vacuum, the journal truncated).
// Word lists are comma-separated; empty entries are skipped. A change that breaks a rule
// changes nothing and throws EngineError with a message for the user. Thread-safe (one
// connection behind a mutex); word sets are cached until their dictionary changes.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct sqlite3;

class DictionaryStore {
  public:
    using WordSet = std::unordered_set<std::string>;
    static constexpr size_t kMaxNameBytes = 64;
    static constexpr size_t kMaxWordBytes = 128;
    static constexpr size_t kMaxWords = 10000;
    static constexpr size_t kMaxDictionaryBytes = 256u << 10;
    static constexpr size_t kMaxTotalBytes = 64u << 20;

    // Opens or creates the database (a database from before incremental vacuum is converted
    // once); throws std::runtime_error when it cannot.
    explicit DictionaryStore(const std::string& path, size_t maxTotalBytes = kMaxTotalBytes);
    ~DictionaryStore();
    DictionaryStore(const DictionaryStore&) = delete;
    DictionaryStore& operator=(const DictionaryStore&) = delete;

    // Fails when the name exists or is invalid.
    void Create(std::string_view name, std::string_view wordList);
    // Fails when `from` is missing or `to` exists.
    void Rename(std::string_view from, std::string_view to);
    void Delete(std::string_view name);
    bool Exists(std::string_view name);
    // Adds `word` and the words of `wordList`, creating the dictionary when missing.
    void AddWords(std::string_view name, std::string_view word, std::string_view wordList);
    // The words of a dictionary; an empty set when it is missing or the name is invalid.
    std::shared_ptr<const WordSet> Words(std::string_view name);

    // Owners. A dictionary may have an owner key (OwnerKey; only its hash is stored). Without
    // one it is open to everyone, as dictionaries made before owners existed are.
    //
    // Creates a dictionary with a fresh owner key and returns the key; fails as Create.
    std::string CreateOwned(std::string_view name, std::string_view wordList);
    // Gives an ownerless dictionary a fresh owner key and returns it; fails with "User
    // dictionary already has an owner" or "User dictionary not found".
    std::string Claim(std::string_view name);
    // Passes when the dictionary has no owner or `key` is its owner key; fails with "Wrong key
    // for the user dictionary" or "User dictionary not found".
    void Authorize(std::string_view name, std::string_view key);
    // The words in byte order, after Authorize.
    std::vector<std::string> List(std::string_view name, std::string_view key);
    // Removes `word` (nothing when absent), after Authorize.
    void RemoveWord(std::string_view name, std::string_view key, std::string_view word);

    // The stored form of a name (0x08 -> blank).
    static std::string NormalName(std::string_view name);

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
    std::string ValidName(std::string_view name) const;
    std::vector<std::string> ValidWords(std::string_view word, std::string_view wordList) const;
    void Forget(const std::string& name);
    // The stored owner hash of dictionary `id`; empty when it has no owner.
    std::string OwnerHashOf(long long id);
    void SetOwner(long long id, const std::string& key);
    // The id of `name` after checking `key` against its owner; the mutex must be held.
    long long AuthorizedId(const std::string& name, std::string_view key);

    std::unique_ptr<sqlite3, Closer> db_;
    const size_t maxTotalBytes_;
    size_t totalBytes_ = 0;  // of the words of all dictionaries
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const WordSet>> cache_;
};
