#include "utils/FileCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kReadChunkBytes = 16384;
constexpr long long kNsPerSecond = 1000000000LL;

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileCache& FileCache::Process() {
    static FileCache cache;
    return cache;
}

void FileCache::keep(bool on) {
    keeping_ = on;
    if (!on) files_.clear();
}

bool FileCache::ReadFile(const std::string& path, Identity& identity, std::string& text) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return false;
    identity = {info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim),
                Nanoseconds(info.st_ctim)};
    text.clear();
    if (S_ISREG(info.st_mode)) text.reserve(static_cast<size_t>(info.st_size));
    char chunk[kReadChunkBytes];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n == 0) return true;
        if (n < 0) return false;  // a directory opens but cannot be read
        text.append(chunk, static_cast<size_t>(n));
    }
}

FileCache::Entry* FileCache::current(const std::string& path) {
    const auto found = files_.find(path);
    if (found != files_.end()) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 &&
            found->second.identity == Identity{info.st_dev, info.st_ino, info.st_size,
                                               Nanoseconds(info.st_mtim),
                                               Nanoseconds(info.st_ctim)})
            return &found->second;
        files_.erase(found);
    }
    Entry entry;
    std::string text;
    if (!ReadFile(path, entry.identity, text)) return nullptr;
    entry.bytes = std::make_shared<const std::string>(std::move(text));
    if (files_.size() >= kMaxFiles) files_.clear();
    return &files_.insert_or_assign(path, std::move(entry)).first->second;
}

std::shared_ptr<const std::string> FileCache::bytes(const std::string& path) {
    if (!keeping_) {
        Identity identity;
        std::string text;
        if (!ReadFile(path, identity, text)) return nullptr;
        return std::make_shared<const std::string>(std::move(text));
    }
    const Entry* entry = current(path);
    return entry ? entry->bytes : nullptr;
}

std::shared_ptr<const void> FileCache::parsedAny(const std::string& path, std::type_index type,
                                                 const AnyParse& parse) {
    if (!keeping_) {
        const auto text = bytes(path);
        return text ? parse(*text) : nullptr;
    }
    Entry* entry = current(path);
    if (!entry) return nullptr;
    auto& result = entry->parsed[type];
    if (!result) result = parse(*entry->bytes);
    return result;
}
