#pragma once
// The synchronous diagnostic logger both programs use. Each message opens the file for
// appending, writes one whole line and closes it; no lock is taken, so concurrent processes
// rely on append mode. Line format: "[PID/TID][MM:SS.mmm] message" (ids in hex, at least three
// digits). Messages of level 6 are discarded. CR and LF inside a message are written as "\r" and
// "\n" so that one message stays one line.
#include <mutex>
#include <string>

#include "utils/logging/ILogger.h"

class SimpleLogger final : public ILogger {
  public:
    static constexpr size_t kStackMessageBytes = 2047;
    static constexpr size_t kHeapMessageBytes = 0x7fff;

    void Init(const std::string& path) override;
    void Log(int level, int category, const char* format, ...) override
        __attribute__((format(printf, 4, 5)));
    void LogV(int level, int category, const char* format, va_list args) override
        __attribute__((format(printf, 4, 0)));

    const std::string& path() const { return path_; }

    // Formats like vsnprintf into at most kStackMessageBytes, or kHeapMessageBytes when longer.
    static std::string FormatMessage(const char* format, va_list args)
        __attribute__((format(printf, 1, 0)));

    // Writes `message` (one line, no line breaks) with the usual prefix to the file named by the
    // last Init, using only async-signal-safe calls: for the watchdog's signal handler.
    static void LogFromSignal(const char* message);
    // The line prefix for `pid`, `tid` and a local time `localSeconds` (seconds since the epoch
    // plus the zone offset) with `millis`, formatted without the C library.
    static size_t FormatPrefix(char* out, unsigned pid, unsigned tid, long long localSeconds,
                               unsigned millis);

  private:
    static std::string Prefix();

    std::string path_;
    std::mutex mutex_;  // the watchdog thread logs too
};
