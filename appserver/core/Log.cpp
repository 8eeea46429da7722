#include "core/Log.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace {
std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}
}  // namespace

void Log::Info(const std::string& message) { Write("INFO", message); }
void Log::Warning(const std::string& message) { Write("WARNING", message); }
void Log::Error(const std::string& message) { Write("ERROR", message); }

void Log::Write(const char* level, const std::string& message) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::lock_guard<std::mutex> lock(LogMutex());
    std::fprintf(stderr, "%s %s %s\n", stamp, level, message.c_str());
    std::fflush(stderr);
}
