#include "templates/TemplateFileInformation.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "templates/TemplateNotFound.h"
#include "utils/FileCache.h"
#include "utils/InternalDataKeys.h"

namespace {

constexpr char kTemplateNotFound[] = "Internal Error. Template not found.";

bool IsSafeRelativeName(const std::string& name) {
    if (name.find('\0') != std::string::npos) return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of("/\\", start);
        if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") ==
            0)
            return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

bool IsRegularFile(const std::string& path, struct stat* info) {
    return ::stat(path.c_str(), info) == 0 && S_ISREG(info->st_mode);
}

}  // namespace

std::string TemplateFileInformation::DateStamp(long long secondsSinceEpoch) {
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr) return "00000000";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return buf;
}

std::string TemplateFileInformation::locate() const {
    if (!IsSafeRelativeName(fileName_)) return {};
    struct stat info {};
    for (const char* dirKey : {":tmpl_dir:", ":d_tmpl_d:"}) {
        std::string path = map()[dirKey] + fileName_;
        if (IsRegularFile(path, &info)) return path;
    }
    return {};
}

std::string TemplateFileInformation::content() const {
    const std::string path = locate();
    const auto text = path.empty() ? nullptr : FileCache::Process().bytes(path);
    if (!text) VERB_THROW(TemplateNotFound, kTemplateNotFound);

    if (const std::string& since = map()["change_date"]; !since.empty()) {
        struct stat info {};
        const long long fileTime = ::stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
        const long long newest = std::max(fileTime, data().Get<long long>(idkey::IniFileTime));
        if (DateStamp(newest) < since) {
            data().Set<std::string>(idkey::HttpStatus, "304");
            return {};
        }
    }
    return *text;
}
