#pragma once
// An exclusive advisory lock (flock) on a lock file, held for the lifetime of the object. The
// lock file is never replaced, so it can guard a file that is itself replaced by rename.
#include <cstdint>
#include <string>

namespace vdirkit {

class FileLock {
  public:
    static constexpr uint32_t kPollIntervalMs = 5;

    // Creates `path` when missing and waits up to `waitMs` for the lock; locked() tells whether
    // it was obtained.
    FileLock(const std::string& path, uint32_t waitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return locked_; }
    // False when the lock file could not be opened (as opposed to a time-out).
    bool opened() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
    bool locked_ = false;
};

}  // namespace vdirkit
