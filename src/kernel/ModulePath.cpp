#include "kernel/ModulePath.h"

#include <limits.h>
#include <unistd.h>

#include <ctime>

std::string ModuleDirectoryOf(std::string_view exePath) {
    constexpr std::string_view kExtendedPrefix = "\\\\?\\";
    if (exePath.starts_with(kExtendedPrefix)) exePath.remove_prefix(kExtendedPrefix.size());
    const auto sep = exePath.find_last_of("/\\");
    if (sep == std::string_view::npos) return "./";
    return std::string(exePath.substr(0, sep + 1));
}

namespace {

std::string ReadModuleDirectory() {
    char buf[PATH_MAX + 1];
    const ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return "./";
    return ModuleDirectoryOf(std::string_view(buf, static_cast<size_t>(n)));
}

}  // namespace

// The executable does not move while it runs: read once per process.
std::string ModuleDirectory() {
    static const std::string directory = ReadModuleDirectory();
    return directory;
}

std::string DebugLogPath(const std::string& moduleDir) {
    constexpr size_t kFormattedMaxBytes = 256;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[kFormattedMaxBytes];
    const size_t n = std::strftime(buf, sizeof buf, "../srv/logs/%Y.%m.%d.%H.debug.log", &local);
    return moduleDir + std::string(buf, n);
}
