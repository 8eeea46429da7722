#include "kernel/settings/MemoryLimit_SS.h"

#include <sys/resource.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "utils/HeapSettings.h"
#include "utils/logging/Logger.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr std::size_t kBytesPerMiB = std::size_t{1} << 20;

// The process's limit as it started (read once), then as this handler last set it: only a
// change costs a call, every request sets the limit.
rlimit& CurrentLimit() {
    static rlimit limit = [] {
        rlimit current{RLIM_INFINITY, RLIM_INFINITY};
        ::getrlimit(RLIMIT_DATA, &current);
        return current;
    }();
    return limit;
}

// The soft limit the process started with.
rlim_t StartingLimit() {
    static const rlim_t limit = CurrentLimit().rlim_cur;
    return limit;
}

}  // namespace

bool MemoryLimit_SS::Limit(std::size_t mib) {
    if (kSanitized) return true;
    const rlim_t starting = StartingLimit();
    rlimit& limit = CurrentLimit();
    rlim_t wanted = starting;
    if (mib != 0 && mib <= RLIM_INFINITY / kBytesPerMiB) {
        const rlim_t bytes = static_cast<rlim_t>(mib) * kBytesPerMiB;
        if (bytes < wanted) wanted = bytes;
    }
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max) wanted = limit.rlim_max;
    if (limit.rlim_cur == wanted) return true;  // as the request before left it
    rlimit changed = limit;
    changed.rlim_cur = wanted;
    if (::setrlimit(RLIMIT_DATA, &changed) != 0) return false;
    limit = changed;
    if (wanted != RLIM_INFINITY) HeapSettings::FitReserveUnder(wanted);
    return true;
}

void MemoryLimit_SS::setDefault(StringMap& /*map*/, InternalData& /*data*/) { Limit(kDefaultMiB); }

void MemoryLimit_SS::apply(StringMap& /*map*/, InternalData& /*data*/, const std::string& value) {
    std::size_t mib = 0;
    const char* end = value.data() + value.size();
    const auto [rest, error] = std::from_chars(value.data(), end, mib);
    if (value.empty() || error != std::errc() || rest != end) {
        GetLogger().Log(loglevel::Warning, 0,
                        "*WARNING* memory_limit_mb \"%s\" is not a number; using %zu",
                        value.c_str(), kDefaultMiB);
        return;
    }
    if (!Limit(mib))
        GetLogger().Log(loglevel::Warning, 0, "*WARNING* memory_limit_mb: setrlimit failed: %s",
                        std::strerror(errno));
}
