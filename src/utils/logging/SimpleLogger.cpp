#include "utils/logging/SimpleLogger.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "utils/logging/AppendFile.h"
#include "utils/logging/LogFieldEscape.h"

namespace {

constexpr size_t kSignalPathBytes = 4096;
constexpr size_t kSignalLineBytes = 512;
constexpr long long kSecondsPerHour = 3600;

// What the signal handler needs, kept where it can read it without locks or allocation: the
// log file's path and the zone's offset from UTC, both set by Init.
char signalPath[kSignalPathBytes] = {};
std::atomic<long> signalZoneOffsetSeconds{0};

long ZoneOffsetSeconds() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

// At least `width` hex digits, upper case.
size_t PutHex(char* out, unsigned value, size_t width) {
    char digits[8];
    size_t n = 0;
    do {
        digits[n++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0 && n < sizeof digits);
    while (n < width && n < sizeof digits) digits[n++] = '0';
    for (size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    return n;
}

size_t PutDecimal(char* out, unsigned value, size_t width) {
    for (size_t i = width; i-- > 0; value /= 10) out[i] = static_cast<char>('0' + value % 10);
    return width;
}

}  // namespace

void SimpleLogger::Init(const std::string& path) {
    std::lock_guard lock(mutex_);
    path_ = path;
    const size_t n = std::min(path.size(), kSignalPathBytes - 1);
    std::memcpy(signalPath, path.data(), n);
    signalPath[n] = '\0';
    signalZoneOffsetSeconds = ZoneOffsetSeconds();
}

size_t SimpleLogger::FormatPrefix(char* out, unsigned pid, unsigned tid, long long localSeconds,
                                  unsigned millis) {
    const long long inHour = ((localSeconds % kSecondsPerHour) + kSecondsPerHour) % kSecondsPerHour;
    size_t n = 0;
    out[n++] = '[';
    n += PutHex(out + n, pid, 3);
    out[n++] = '/';
    n += PutHex(out + n, tid, 3);
    out[n++] = ']';
    out[n++] = '[';
    n += PutDecimal(out + n, static_cast<unsigned>(inHour / 60), 2);
    out[n++] = ':';
    n += PutDecimal(out + n, static_cast<unsigned>(inHour % 60), 2);
    out[n++] = '.';
    n += PutDecimal(out + n, millis % 1000, 3);
    out[n++] = ']';
    out[n++] = ' ';
    return n;
}

void SimpleLogger::LogFromSignal(const char* message) {
    if (signalPath[0] == '\0') return;
    const int savedErrno = errno;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char line[kSignalLineBytes];
    size_t n = FormatPrefix(line, static_cast<unsigned>(getpid()),
                            static_cast<unsigned>(syscall(SYS_gettid)),
                            static_cast<long long>(now.tv_sec) + signalZoneOffsetSeconds.load(),
                            static_cast<unsigned>(now.tv_nsec / 1000000));
    for (const char* c = message; *c != '\0' && n + 1 < sizeof line; ++c) line[n++] = *c;
    line[n++] = '\n';
    const int fd =
        ::open(signalPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, AppendFile::kCreateMode);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, line, n);
        ::close(fd);
    }
    errno = savedErrno;
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

// The zone offset is the one read at Init: no zone look-up per line.
std::string SimpleLogger::Prefix() {
    timeval now{};
    gettimeofday(&now, nullptr);
    char buf[64];
    const size_t n = FormatPrefix(
        buf, static_cast<unsigned>(getpid()), static_cast<unsigned>(syscall(SYS_gettid)),
        static_cast<long long>(now.tv_sec) + signalZoneOffsetSeconds.load(),
        static_cast<unsigned>(now.tv_usec / 1000));
    return std::string(buf, n);
}

void SimpleLogger::LogV(int level, int /*category*/, const char* format, va_list args) {
    if (level == loglevel::Debug) return;
    const std::string line = Prefix() + LogTextEscape(FormatMessage(format, args)) + "\n";
    std::lock_guard lock(mutex_);
    if (path_.empty()) return;
    AppendFile file(path_.c_str());
    file.Write(line);
}
