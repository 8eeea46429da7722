#pragma once
// Personal dictionaries: the one interface of the two stores, SqliteDictionaryStore (a file,
// for one engine server) and PostgresDictionaryStore (a database that several engine servers
// share). Open picks one by the location.
//
// Names: 1..kMaxNameBytes bytes of UTF-8 without control bytes or commas; the byte 0x08
// stands for a blank (the form in which names travel inside user-dictionary lists) and is
// stored as a blank. Words: 1..kMaxWordBytes bytes of UTF-8 without control bytes or commas.
// A dictionary holds at most kMaxWords words and kMaxDictionaryBytes bytes of words; all
// dictionaries together at most the store's total (maxTotalBytes). Word lists are
// comma-separated; empty entries are skipped. A change that breaks a rule changes nothing and
// throws EngineError with a message for the user; a store that cannot reach its data throws
// std::runtime_error. An acknowledged change is durable. Every method is thread-safe.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class DictionaryStore {
  public:
    using WordSet = std::unordered_set<std::string>;
    static constexpr size_t kMaxNameBytes = 64;
    static constexpr size_t kMaxWordBytes = 128;
    static constexpr size_t kMaxWords = 10000;
    static constexpr size_t kMaxDictionaryBytes = 256u << 10;
    static constexpr size_t kMaxTotalBytes = 64u << 20;

    // A dictionary as stored, for copying between stores: its words and its owner's key hash
    // (empty: no owner).
    struct Record {
        std::string name;
        std::vector<std::string> words;
        std::string ownerHash;
    };

    // A PostgreSQL store for a libpq connection URI ("postgresql://" or "postgres://"), else
    // an SQLite store in the file `location`. Throws std::runtime_error when it cannot open.
    static std::unique_ptr<DictionaryStore> Open(const std::string& location,
                                                 size_t maxTotalBytes = kMaxTotalBytes);
    static bool IsDatabaseUri(std::string_view location);

    virtual ~DictionaryStore() = default;
    DictionaryStore(const DictionaryStore&) = delete;
    DictionaryStore& operator=(const DictionaryStore&) = delete;

    // Fails when the name exists or is invalid.
    virtual void Create(std::string_view name, std::string_view wordList) = 0;
    // Fails when `from` is missing or `to` exists.
    virtual void Rename(std::string_view from, std::string_view to) = 0;
    virtual void Delete(std::string_view name) = 0;
    virtual bool Exists(std::string_view name) = 0;
    // Adds `word` and the words of `wordList`, creating the dictionary when missing.
    virtual void AddWords(std::string_view name, std::string_view word,
                          std::string_view wordList) = 0;
    // The words of a dictionary; an empty set when it is missing or the name is invalid. A
    // change made through any store on the same data shows in the next call.
    virtual std::shared_ptr<const WordSet> Words(std::string_view name) = 0;

    // Owners. A dictionary may have an owner key (OwnerKey; only its hash is stored). Without
    // one it is open to everyone, as dictionaries made before owners existed are.
    //
    // Creates a dictionary with a fresh owner key and returns the key; fails as Create.
    virtual std::string CreateOwned(std::string_view name, std::string_view wordList) = 0;
    // Gives an ownerless dictionary a fresh owner key and returns it; fails with "User
    // dictionary already has an owner" or "User dictionary not found".
    virtual std::string Claim(std::string_view name) = 0;
    // Passes when the dictionary has no owner or `key` is its owner key; fails with "Wrong key
    // for the user dictionary" or "User dictionary not found".
    virtual void Authorize(std::string_view name, std::string_view key) = 0;
    // The words in byte order, after Authorize.
    virtual std::vector<std::string> List(std::string_view name, std::string_view key) = 0;
    // Removes `word` (nothing when absent), after Authorize.
    virtual void RemoveWord(std::string_view name, std::string_view key, std::string_view word) = 0;

    // Copying: the stored names in byte order; one dictionary as stored (throws EngineError
    // when missing); and Put, which creates `record` when missing, adds its missing words and
    // gives it the owner hash when it has no owner, so that putting twice changes nothing.
    // Put fails with "User dictionary already has an owner" when the owners differ.
    virtual std::vector<std::string> Names() = 0;
    virtual Record Get(std::string_view name) = 0;
    virtual void Put(const Record& record) = 0;

    // The stored form of a name (0x08 -> blank).
    static std::string NormalName(std::string_view name);

  protected:
    DictionaryStore() = default;
    // The stored form of a valid name; throws EngineError otherwise.
    static std::string ValidName(std::string_view name);
    // The stored name when `name` is valid, else an empty string (no dictionary has it).
    static std::string NameOrEmpty(std::string_view name);
    // `word` (when not empty) and the entries of `wordList`; throws EngineError on a bad one.
    static std::vector<std::string> ValidWords(std::string_view word, std::string_view wordList);
    // The messages of the limits.
    static std::string TooManyWordsMessage();
    static std::string TooManyBytesMessage();
    static std::string NoRoomMessage();
};
