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
                                                     const std::string& lockName, bool append) {
    // Locking before opening also serialises the creation of an absent file.
    lock_.fd = OpenLockFile(LockPathFor(path, lockName));
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (append ? O_APPEND : 0);
    const int fd = ::open(path.c_str(), flags, kCreateMode);
    if (fd < 0) return;
    file_.reset(::fdopen(fd, append ? "a+" : "r+"));
    if (!file_) ::close(fd);
}

SynchronizedFileProcessor::LockHandle::~LockHandle() {
    if (fd >= 0) ::close(fd);
}

bool SynchronizedFileProcessor::ReadLine(std::string& line, size_t maxBytes) {
    line.clear();
    if (!file_ || maxBytes < 2) return false;
    maxBytes = std::min<size_t>(maxBytes, kMaxLineBytes);
    std::string buffer(maxBytes, '\0');
    if (std::fgets(buffer.data(), static_cast<int>(maxBytes), file_.get()) == nullptr) return false;
    line.assign(buffer.c_str());
    return true;
}

bool SynchronizedFileProcessor::Rewind() {
    return file_ && std::fseek(file_.get(), 0, SEEK_SET) == 0;
}

bool SynchronizedFileProcessor::Write(std::string_view bytes) {
    if (!file_) return false;
    // Switching from reading to writing needs a positioning call in between.
    std::fseek(file_.get(), 0, SEEK_CUR);
    return std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size() &&
           std::fflush(file_.get()) == 0;
}

bool SynchronizedFileProcessor::TruncateHere() {
    if (!file_ || std::fflush(file_.get()) != 0) return false;
    const long position = std::ftell(file_.get());
    if (position < 0) return false;
    // A rewrite as long as the old text (the usual case of a growing counter) needs no cut, and a
    // cut costs a journal entry.
    struct stat info {};
    if (::fstat(::fileno(file_.get()), &info) == 0 && info.st_size <= position) return true;
    return ::ftruncate(::fileno(file_.get()), position) == 0;
}
