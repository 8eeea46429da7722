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
#include <cstdio>
#include <memory>
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

    bool IsOpen() const { return file_ != nullptr; }
    bool Locked() const { return lock_.fd >= 0; }

    // Reads the next line, at most `maxBytes` bytes including its LF (fewer when the line is
    // longer: the rest is read by the next call). False at the end of the file or on failure.
    bool ReadLine(std::string& line, size_t maxBytes);
    bool Rewind();
    bool Write(std::string_view bytes);
    // Cuts the file at the current position (after a rewrite that may be shorter than before).
    bool TruncateHere();

  private:
    struct FileCloser {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    // Closing the descriptor releases the lock.
    struct LockHandle {
        int fd = -1;
        LockHandle() = default;
        LockHandle(const LockHandle&) = delete;
        LockHandle& operator=(const LockHandle&) = delete;
        ~LockHandle();
    };

    // Declared before file_: the file is flushed and closed before the lock is released.
    LockHandle lock_;
    std::unique_ptr<FILE, FileCloser> file_;
};
