#include "suggest/SuggestionIndexFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/MappedFile.h"

namespace {

// Raised whenever the tables' layout, the key hash or the word filing changes.
constexpr uint32_t kFormatVersion = 3;  // 2: keys hold the letter count; 3: rarest tier not filed
constexpr uint32_t kByteOrderMark = 0x01020304;
constexpr char kMagic[8] = {'V', 'B', 'S', 'U', 'G', 'I', 'X', '\n'};
constexpr size_t kAlignment = 8;
constexpr size_t kTableCount = 5;

struct Table {
    uint64_t offset;
    uint64_t count;  // elements
};

struct Header {
    char magic[8];
    uint32_t version;
    uint32_t byteOrder;
    uint64_t fileBytes;
    uint64_t identityBytes;                 // the identity follows the header
    std::array<Table, kTableCount> tables;  // pool, offsets, letters, keys, buckets
};

constexpr size_t Aligned(size_t n) { return (n + kAlignment - 1) / kAlignment * kAlignment; }

// The table's elements when they lie inside the file, else nullopt.
template <typename T>
std::optional<std::span<const T>> TableIn(std::span<const std::byte> file, const Table& table) {
    if (table.offset % kAlignment != 0 || table.offset > file.size() ||
        table.count > (file.size() - table.offset) / sizeof(T))
        return std::nullopt;
    return std::span<const T>(reinterpret_cast<const T*>(file.data() + table.offset),
                              static_cast<size_t>(table.count));
}

// Closes the descriptor and, unless kept, removes the temporary file.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
        fd_ = ::mkstemp(path_.data());
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool opened() const { return fd_ >= 0; }
    bool Write(const void* data, size_t size) {
        const char* at = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(fd_, at, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            at += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Pad(size_t written) {
        static constexpr std::array<char, kAlignment> kZeros{};
        return Write(kZeros.data(), Aligned(written) - written);
    }
    // Makes the file readable by all and renames it to `path`.
    bool KeepAs(const std::string& path) {
        const int fd = fd_;
        fd_ = -1;
        const bool ok = ::fchmod(fd, 0644) == 0 && ::close(fd) == 0 &&
                        std::rename(path_.c_str(), path.c_str()) == 0;
        kept_ = ok;
        return ok;
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

template <typename T>
Table Place(size_t& at, std::span<const T> items) {
    const Table table{at, items.size()};
    at += Aligned(items.size_bytes());
    return table;
}

}  // namespace

std::optional<SymmetricDeleteIndex> SuggestionIndexFile::Load(const std::string& path,
                                                              std::string_view identity) {
    std::shared_ptr<const MappedFile> mapped = MappedFile::Open(path, kMaxFileBytes);
    if (!mapped) return std::nullopt;
    const std::span<const std::byte> file = mapped->bytes();
    return FromBytes(file, identity, std::move(mapped));
}

std::optional<SymmetricDeleteIndex> SuggestionIndexFile::FromBytes(
    std::span<const std::byte> file, std::string_view identity, std::shared_ptr<const void> owner) {
    Header header;
    if (file.size() < sizeof header || reinterpret_cast<uintptr_t>(file.data()) % kAlignment != 0)
        return std::nullopt;
    std::memcpy(&header, file.data(), sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kFormatVersion ||
        header.byteOrder != kByteOrderMark || header.fileBytes != file.size() ||
        header.identityBytes != identity.size() || identity.size() > file.size() - sizeof header ||
        std::memcmp(file.data() + sizeof header, identity.data(), identity.size()) != 0)
        return std::nullopt;
    const auto pool = TableIn<char>(file, header.tables[0]);
    const auto offsets = TableIn<uint32_t>(file, header.tables[1]);
    const auto letters = TableIn<uint8_t>(file, header.tables[2]);
    const auto keys = TableIn<uint64_t>(file, header.tables[3]);
    const auto buckets = TableIn<uint32_t>(file, header.tables[4]);
    if (!pool || !offsets || !letters || !keys || !buckets) return std::nullopt;
    return SymmetricDeleteIndex::FromTables({*pool, *offsets, *letters, *keys, *buckets},
                                            std::move(owner));
}

bool SuggestionIndexFile::Store(const std::string& path, std::string_view identity,
                                const SymmetricDeleteIndex& index) {
    std::error_code error;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    TemporaryFile out(path + ".XXXXXX");
    if (!out.opened()) return false;

    const SymmetricDeleteIndex::Tables& t = index.tables();
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kFormatVersion;
    header.byteOrder = kByteOrderMark;
    header.identityBytes = identity.size();
    size_t at = Aligned(sizeof header + identity.size());
    header.tables = {Place(at, t.pool), Place(at, t.offsets), Place(at, t.letters),
                     Place(at, t.keys), Place(at, t.buckets)};
    header.fileBytes = at;

    const auto table = [&out](auto items) {
        return out.Write(items.data(), items.size_bytes()) && out.Pad(items.size_bytes());
    };
    return out.Write(&header, sizeof header) && out.Write(identity.data(), identity.size()) &&
           out.Pad(sizeof header + identity.size()) && table(t.pool) && table(t.offsets) &&
           table(t.letters) && table(t.keys) && table(t.buckets) && out.KeepAs(path);
}
