#include "admin/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace vdirkit {

FileLock::FileLock(const std::string& path, uint32_t waitMs) {
    // A link planted at the lock's place must not make the lock create or open another file.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!(locked_ = flock(fd_, LOCK_EX | LOCK_NB) == 0) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    if (locked_) flock(fd_, LOCK_UN);
    close(fd_);
}

}  // namespace vdirkit
