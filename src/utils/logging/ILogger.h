#pragma once
// The diagnostic logger interface. Levels: 1 critical, 2 error, 3 info, 4 warning, 5 trace,
// 6 debug. Every caller passes category 0; implementations ignore it. Logging never fails its
// caller.
#include <cstdarg>
#include <string>

namespace loglevel {
inline constexpr int Critical = 1;
inline constexpr int Error = 2;
inline constexpr int Info = 3;
inline constexpr int Warning = 4;
inline constexpr int Trace = 5;
inline constexpr int Debug = 6;
}  // namespace loglevel

class ILogger {
  public:
    virtual ~ILogger() = default;
    virtual void Init(const std::string& path) = 0;
    virtual void Log(int level, int category, const char* format, ...)
        __attribute__((format(printf, 4, 5))) = 0;
    virtual void LogV(int level, int category, const char* format, va_list args)
        __attribute__((format(printf, 4, 0))) = 0;
};
