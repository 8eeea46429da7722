#pragma once
// A file of the service host (script, style sheet, image) that the relay keeps in its cache
// directory. content() answers from the cache while the copy is fresh, else asks the service
// host through `fetch` and stores the answer.
//
// Cache directory (also written to ":tmpl_dir:"): [CachePath "/"] (CacheDirName or
// "ferrix_cache") "/" [schema "/"], where "schema" is used only when it is a safe path
// component. A file name that is not a safe path component throws TemplateInformationAbsent.
//
// content():
//  - a copy not older than the INI file (InternalData key 10; absent counts as 0) and last read
//    on the current UTC day is served as it is when it is not empty;
//  - a copy not older than the INI file but last read on an earlier day sends "change_date"
//    (its modification date, YYYYMMDD); otherwise "change_date" is sent empty;
//  - `fetch` leaves the service host's body in ":template:" or reports that the copy was not
//    modified: then the copy is served (and counts as read today);
//  - the body is stored unless the answer's Cache-Control (key 8) holds "no-cache" or
//    "no-store" or it carries a status of its own (key 4), and only while the cache stays
//    within kMaxCacheFiles files and kMaxCacheBytes bytes and the body within
//    kMaxCacheFileBytes (a copy already there is always replaced). Storing writes a temporary file
//    beside the copy and renames it over it, so a reader sees the old copy or the new one, never a
//    part. A directory or file that cannot be written leaves the answer intact (logged).
// Failures of `fetch` pass through unchanged. `map` and `data` must outlive the source.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "templates/TemplateFileInformation.h"

class CachedTemplateFileInformation : public TemplateFileInformation {
  public:
    enum class FetchResult { Answered, NotModified };
    // Bounds of the whole cache (every schema's directory): names come from requests.
    static constexpr std::size_t kMaxCacheFiles = 500;
    static constexpr std::uintmax_t kMaxCacheBytes = 64 * 1024 * 1024;
    static constexpr std::size_t kMaxCacheFileBytes = 4 * 1024 * 1024;
    using Fetch = std::function<FetchResult(StringMap& map, InternalData& data)>;
    // Seconds since the epoch.
    using Clock = std::function<long long()>;

    CachedTemplateFileInformation(std::string contentType, std::string fileName, StringMap& map,
                                  InternalData& data, Fetch fetch, Clock now = &SystemTime);

    std::string content() const override;

    // The cache directory of this request, ending in "/".
    static std::string CacheDirectory(const StringMap& map, const InternalData& data);
    static long long SystemTime();
    // True when the service host's answer must not be kept: Cache-Control holding "no-cache" or
    // "no-store" (in any case) or a status of its own.
    static bool AnswerIsUncacheable(const InternalData& data);

  private:
    std::string readFresh(const std::string& path) const;
    static void store(const std::string& path, const std::string& text);
    // Whether `text` may become the copy at `path` in the cache under `root`.
    static bool HasRoom(const std::string& root, const std::string& path, const std::string& text);

    Fetch fetch_;
    Clock now_;
};
