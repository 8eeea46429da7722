#include "utils/logging/SimpleLogger.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "utils/logging/LogFieldEscape.h"

namespace {

constexpr mode_t kLogFileMode = 0666;  // narrowed by the umask

class AppendFile {
  public:
    explicit AppendFile(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kLogFileMode)) {}
    ~AppendFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // One write call, so that lines of concurrent processes never interleave.
    void Write(const std::string& line) {
        while (::write(fd_, line.data(), line.size()) < 0 && errno == EINTR) {
        }
    }

  private:
    int fd_;
};

std::string Prefix() {
    static const unsigned pid = static_cast<unsigned>(getpid());
    const unsigned tid = static_cast<unsigned>(syscall(SYS_gettid));
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%03X/%03X][%02d:%02d.%03u] ", pid, tid, local.tm_min,
                  local.tm_sec, static_cast<unsigned>(now.tv_usec / 1000));
    return buf;
}

}  // namespace

void SimpleLogger::Init(const std::string& path) {
    std::lock_guard lock(mutex_);
    path_ = path;
}

void SimpleLogger::Log(int level, int category, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogV(level, category, format, args);
    va_end(args);
}

std::string SimpleLogger::FormatMessage(const char* format, va_list args) {
    char small[kStackMessageBytes + 1];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) <= kStackMessageBytes)
        return std::string(small, static_cast<size_t>(n));
    std::vector<char> big(kHeapMessageBytes + 1);
    const int m = std::vsnprintf(big.data(), big.size(), format, args);
    if (m < 0) return {};
    return std::string(big.data(), std::min<size_t>(static_cast<size_t>(m), kHeapMessageBytes));
}

std::string SimpleLogger::EscapeLineBreaks(std::string message) {
    std::string out;
    out.reserve(message.size());
    for (char c : message) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

void SimpleLogger::LogV(int level, int /*category*/, const char* format, va_list args) {
    if (level == loglevel::Debug) return;
    const std::string line = Prefix() + LogTextEscape(FormatMessage(format, args)) + "\n";
    std::lock_guard lock(mutex_);
    if (path_.empty()) return;
    AppendFile file(path_);
    if (file.IsOpen()) file.Write(line);
}
