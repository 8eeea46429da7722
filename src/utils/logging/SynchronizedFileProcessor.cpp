#include "utils/logging/SynchronizedFileProcessor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr mode_t kCreateMode = 0666;  // narrowed by the umask
constexpr size_t kMaxLineBytes = 1 << 20;

int OpenLockFile(const std::string& lockPath) {
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kCreateMode);
    // flock needs no write access: a lock file created by another account still serves.
    if (fd < 0) fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    int rc = 0;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string SynchronizedFileProcessor::LockPathFor(const std::string& path,
                                                   const std::string& lockName) {
    // Plain string work: this runs in every request process, where std::filesystem would only add
    // code to load.
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    return dir + ".Mtx_" + lockName + ".lock";
}

SynchronizedFileProcessor::SynchronizedFileProcessor(const std::string& path,
                                                     const std::string& lockName, bool append)
    : append_(append) {
    // Locking before opening also serialises the creation of an absent file.
    lock_.fd = OpenLockFile(LockPathFor(path, lockName));
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (append ? O_APPEND : 0);
    file_.fd = ::open(path.c_str(), flags, kCreateMode);
}

SynchronizedFileProcessor::Handle::~Handle() {
    if (fd >= 0) ::close(fd);
}

bool SynchronizedFileProcessor::ReadLine(std::string& line, size_t maxBytes) {
    line.clear();
    if (file_.fd < 0 || maxBytes < 2) return false;
    maxBytes = std::min<size_t>(maxBytes, kMaxLineBytes);
    std::string buffer(maxBytes - 1, '\0');
    ssize_t n = 0;
    while ((n = ::pread(file_.fd, buffer.data(), buffer.size(), position_)) < 0 && errno == EINTR) {
    }
    if (n <= 0) return false;
    if (static_cast<size_t>(n) < buffer.size()) size_ = position_ + n;  // read up to the end
    buffer.resize(static_cast<size_t>(n));
    const size_t end = buffer.find('\n');
    if (end != std::string::npos) buffer.resize(end + 1);
    position_ += static_cast<off_t>(buffer.size());
    line.assign(buffer.c_str());  // up to a NUL byte, as a C line read gives it
    return true;
}

bool SynchronizedFileProcessor::Rewind() {
    if (file_.fd < 0) return false;
    position_ = 0;
    return true;
}

bool SynchronizedFileProcessor::Write(std::string_view bytes) {
    if (file_.fd < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = append_ ? ::write(file_.fd, bytes.data(), bytes.size())
                                  : ::pwrite(file_.fd, bytes.data(), bytes.size(), position_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
        if (append_) {
            size_ = kUnknownSize;
        } else {
            position_ += n;
            if (size_ != kUnknownSize && position_ > size_) size_ = position_;
        }
    }
    return true;
}

bool SynchronizedFileProcessor::TruncateHere() {
    if (file_.fd < 0) return false;
    if (append_) return true;  // appending writes end at the end of the file
    // A rewrite as long as the old text (the usual case of a growing counter) needs no cut, and a
    // cut costs a journal entry.
    off_t size = size_;
    struct stat info {};
    if (size == kUnknownSize && ::fstat(file_.fd, &info) == 0) size = info.st_size;
    if (size != kUnknownSize && size <= position_) return true;
    if (::ftruncate(file_.fd, position_) != 0) return false;
    size_ = position_;
    return true;
}
