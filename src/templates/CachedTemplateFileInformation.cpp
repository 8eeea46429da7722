#include "templates/CachedTemplateFileInformation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "templates/TemplateMap.h"
#include "templates/TemplateNotFound.h"
#include "utils/InternalDataKeys.h"
#include "utils/PathSafety.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kDefaultCacheDirName[] = "ferrix_cache";
constexpr char kTemplateNotFound[] = "Internal Error. Template not found.";

std::string NonEmptyOr(const InternalData& data, int key, const std::string& fallback) {
    const std::string value = data.GetOr<std::string>(key, "");
    return value.empty() ? fallback : value;
}

bool SameUtcDay(long long a, long long b) {
    const std::time_t ta = static_cast<std::time_t>(a), tb = static_cast<std::time_t>(b);
    std::tm ma{}, mb{};
    if (gmtime_r(&ta, &ma) == nullptr || gmtime_r(&tb, &mb) == nullptr) return false;
    return ma.tm_year == mb.tm_year && ma.tm_yday == mb.tm_yday;
}

bool ReadWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// A copy that was served or confirmed counts as read now, whatever the mount's atime policy.
void MarkRead(const std::string& path) {
    const timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

bool CreateDirectories(const std::string& path) {
    for (size_t end = path.find_first_of("/\\", 1); end != std::string::npos;
         end = path.find_first_of("/\\", end + 1)) {
        const std::string prefix = path.substr(0, end);
        struct stat info {};
        if (::stat(prefix.c_str(), &info) == 0) continue;
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool ContainsNoCache(std::string value) {
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return value.find("no-cache") != std::string::npos ||
           value.find("no-store") != std::string::npos;
}

std::string CacheRoot(const InternalData& data) {
    const std::string path = NonEmptyOr(data, idkey::CachePath, "");
    return (path.empty() ? "" : path + "/") +
           NonEmptyOr(data, idkey::CacheDirName, kDefaultCacheDirName);
}

}  // namespace

CachedTemplateFileInformation::CachedTemplateFileInformation(std::string contentType,
                                                             std::string fileName, StringMap& map,
                                                             InternalData& data, Fetch fetch,
                                                             Clock now)
    : TemplateFileInformation(std::move(contentType), std::move(fileName), map, data, false),
      fetch_(std::move(fetch)),
      now_(std::move(now)) {}

long long CachedTemplateFileInformation::SystemTime() {
    return static_cast<long long>(std::time(nullptr));
}

std::string CachedTemplateFileInformation::CacheDirectory(const StringMap& map,
                                                          const InternalData& data) {
    std::string dir = CacheRoot(data) + "/";
    // "schema" is a request value: only a plain name may become a directory.
    if (const auto schema = map.find("schema");
        schema != map.end() && IsSafePathComponent(schema->second))
        dir += schema->second + "/";
    return dir;
}

bool CachedTemplateFileInformation::AnswerIsUncacheable(const InternalData& data) {
    return ContainsNoCache(data.GetOr<std::string>(idkey::HttpCacheControl, "")) ||
           data.Find(idkey::HttpStatus);
}

std::string CachedTemplateFileInformation::readFresh(const std::string& path) const {
    map()["change_date"] = "";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    if (info.st_mtime < data().GetOr<long long>(idkey::IniFileTime, 0)) return {};
    if (!SameUtcDay(info.st_atime, now_())) {
        map()["change_date"] = DateStamp(info.st_mtime);
        return {};
    }
    std::string text;
    return ReadWhole(path, text) ? text : std::string();
}

bool CachedTemplateFileInformation::HasRoom(const std::string& root, const std::string& path,
                                            const std::string& text) {
    if (text.size() > kMaxCacheFileBytes) return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return true;  // a refresh takes no new room
    namespace fs = std::filesystem;
    std::error_code error;
    std::size_t files = 0;
    std::uintmax_t bytes = text.size();
    // Stops at the bound: the walk costs at most kMaxCacheFiles entries.
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        bytes += it->file_size(error);
        if (++files >= kMaxCacheFiles || bytes > kMaxCacheBytes) return false;
    }
    return true;
}

void CachedTemplateFileInformation::store(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    if (!CreateDirectories(path)) {
        report_error("*WARNING* cache directory of %s cannot be created", path.c_str());
        return;
    }
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        report_error("*WARNING* cache file %s cannot be written", path.c_str());
        return;
    }
    ::fchmod(fd, 0644);
    bool written = true;
    for (size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        report_error("*WARNING* cache file %s cannot be written", path.c_str());
    }
}

std::string CachedTemplateFileInformation::content() const {
    if (!IsSafePathComponent(fileName())) throw TemplateInformationAbsent();
    const std::string dir = CacheDirectory(map(), data());
    map()[":tmpl_dir:"] = dir;
    const std::string path = dir + fileName();

    if (std::string text = readFresh(path); !text.empty()) return text;

    if (fetch_(map(), data()) == FetchResult::NotModified) {
        std::string text;
        if (!ReadWhole(path, text)) VERB_THROW(TemplateNotFound, kTemplateNotFound);
        MarkRead(path);
        return text;
    }
    std::string text = map()[":template:"];
    if (AnswerIsUncacheable(data())) return text;
    if (HasRoom(CacheRoot(data()), path, text))
        store(path, text);
    else
        report_error("*WARNING* relay cache is full; %s not stored", fileName().c_str());
    return text;
}
