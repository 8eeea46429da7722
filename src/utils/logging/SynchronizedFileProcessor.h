#pragma once
// A file opened and used under a cross-process lock, for the files that concurrent request
// processes share (request log, session counter).
//
// The lock named N is an exclusive flock on the file ".Mtx_N.lock" in the directory of the
// guarded file, created when absent. It is taken before the file is opened and held until
// destruction, so the whole open-read-write-close sequence of one process is serialised against
// every other processor with the same name in that directory; the kernel releases it when a
// process dies. If the lock file cannot be used at all the processor works unlocked rather than
// lose the write.
//
// The file is opened for reading and writing and created when absent (never truncated on open);
// with `append` every write goes to the end. When it cannot be opened IsOpen() is false and every
// operation reports failure. Not for use by several threads at once.
#include <sys/types.h>

#include <string>
#include <string_view>

class SynchronizedFileProcessor {
  public:
    SynchronizedFileProcessor(const std::string& path, const std::string& lockName, bool append);
    ~SynchronizedFileProcessor() = default;
    SynchronizedFileProcessor(const SynchronizedFileProcessor&) = delete;
    SynchronizedFileProcessor& operator=(const SynchronizedFileProcessor&) = delete;

    // The lock file used for `lockName` when guarding `path`.
    static std::string LockPathFor(const std::string& path, const std::string& lockName);

    bool IsOpen() const { return file_.fd >= 0; }
    bool Locked() const { return lock_.fd >= 0; }

    // Reads the next line, at most `maxBytes` bytes including its LF (fewer when the line is
    // longer: the rest is read by the next call). False at the end of the file or on failure.
    bool ReadLine(std::string& line, size_t maxBytes);
    bool Rewind();
    bool Write(std::string_view bytes);
    // Cuts the file at the current position (after a rewrite that may be shorter than before).
    bool TruncateHere();

  private:
    // Closes its descriptor on destruction; closing the lock's releases the lock.
    struct Handle {
        int fd = -1;
        Handle() = default;
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        ~Handle();
    };
    // The file's size when a read or write has shown it, else kUnknownSize.
    static constexpr off_t kUnknownSize = -1;

    // Declared before file_: the file is closed before the lock is released.
    Handle lock_;
    Handle file_;
    bool append_ = false;
    // Where the next read or write starts (positioned reads and writes, no buffering: the few
    // bytes of a counter take one system call each way); unused by appending writes.
    off_t position_ = 0;
    off_t size_ = kUnknownSize;
};
