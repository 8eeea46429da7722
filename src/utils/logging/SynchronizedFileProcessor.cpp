#include "utils/logging/SynchronizedFileProcessor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

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
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty()) dir = ".";
    return (dir / (".Mtx_" + lockName + ".lock")).string();
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
    return position >= 0 && ::ftruncate(::fileno(file_.get()), position) == 0;
}
