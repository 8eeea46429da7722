#pragma once
// A file opened for appending (created when absent) for as long as the object lives. Each
// Write is one write call with O_APPEND, so whole lines of concurrent processes never
// interleave in a local file and need no lock.
#include <string_view>

class AppendFile {
  public:
    static constexpr unsigned kCreateMode = 0666;  // narrowed by the umask

    explicit AppendFile(const char* path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // True when every byte was written.
    bool Write(std::string_view bytes);

  private:
    int fd_;
};
