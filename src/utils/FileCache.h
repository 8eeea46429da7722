#pragma once
// Whole configuration files (INI files, interface texts, templates) read by path, and what is
// parsed from them. A persistent process keeps them between requests (keep(true)); a kept file is
// checked at every read and read again when it is not the same file any more: another device,
// inode, size, modification or status-change time (to the nanosecond), so an edit of a file,
// even one of the same size, is seen by the next request. A file that cannot be opened or read is
// never answered from memory: the caller sees the failure as without keeping. Not keeping (the
// default, a CGI process reads each file once) stores nothing.
// Not thread-safe: one request thread uses it.
#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>

class FileCache {
  public:
    // Files kept at most; beyond it the cache starts over (the tree's files are far fewer).
    static constexpr size_t kMaxFiles = 1024;

    // The cache of this process.
    static FileCache& Process();

    void keep(bool on);
    bool keeping() const { return keeping_; }

    // The bytes of the file at `path`; nullptr when it cannot be opened or read (a directory).
    std::shared_ptr<const std::string> bytes(const std::string& path);

    // `parse(bytes)` of the file at `path`, kept with the bytes (one result per type T);
    // nullptr when the file cannot be read. Exceptions of `parse` pass through, nothing is kept.
    template <class T>
    std::shared_ptr<const T> parsed(const std::string& path,
                                    const std::function<T(const std::string&)>& parse) {
        return std::static_pointer_cast<const T>(
            parsedAny(path, typeid(T), [&](const std::string& text) {
                return std::static_pointer_cast<const void>(std::make_shared<const T>(parse(text)));
            }));
    }

    size_t size() const { return files_.size(); }

  private:
    // What tells two versions of a file apart.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t bytes = 0;
        long long modifiedNs = 0;
        long long changedNs = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Entry {
        Identity identity;
        std::shared_ptr<const std::string> bytes;
        std::map<std::type_index, std::shared_ptr<const void>> parsed;
    };
    using AnyParse = std::function<std::shared_ptr<const void>(const std::string&)>;

    std::shared_ptr<const void> parsedAny(const std::string& path, std::type_index type,
                                          const AnyParse& parse);
    // The current entry of `path`, read again when the file changed; nullptr when unreadable.
    Entry* current(const std::string& path);
    static bool ReadFile(const std::string& path, Identity& identity, std::string& text);

    bool keeping_ = false;
    std::map<std::string, Entry> files_;
};
