#pragma once
// The metabase kept in one file (see MetabaseFile for its form). Every change is one transaction:
// under an exclusive lock on "<file>.lock" the file is read, changed, written to a temporary file
// and renamed over the old one, and the Apache include files are rewritten. Concurrent installers
// therefore lose nothing and a crash leaves the old or the new file, never a part. Readers take no
// lock. A file that cannot be parsed is never overwritten: every call then fails with kInvalidData.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "admin/Metabase.h"
#include "admin/MetabaseKey.h"

namespace vdirkit {

class FileMetabase final : public Metabase {
  public:
    static constexpr const char* kPathVariable = "VDIRKIT_METABASE";
    static constexpr const char* kDefaultPath = "/etc/verbarium/metabase.json";
    static constexpr const char* kApacheDirVariable = "VDIRKIT_APACHE_DIR";
    // The lock is held for one read-change-write only, never between calls, so even a key opened
    // with a time-out of 0 waits this long for it.
    static constexpr uint32_t kMinLockWaitMs = 10000;

    // The metabase file, created empty when missing; null when it can be neither opened nor
    // created. Include files go to `apacheDir` (no export when empty).
    static std::unique_ptr<FileMetabase> Open(const std::string& path,
                                              const std::string& apacheDir);
    // Open() with the paths from the environment (apacheDir defaults to "apache" beside the file).
    static std::unique_ptr<FileMetabase> OpenFromEnvironment();
    // Whether OpenFromEnvironment() would give a metabase, asked without creating anything.
    static bool UsableFromEnvironment();

    MetabaseStatus OpenKey(MetabaseHandle parent, std::string_view path, MetabaseAccess access,
                           uint32_t timeoutMs, MetabaseHandle& opened) override;
    MetabaseStatus CloseKey(MetabaseHandle handle) override;
    MetabaseStatus AddKey(MetabaseHandle handle, std::string_view path) override;
    MetabaseStatus EnumKeys(MetabaseHandle handle, std::string_view path, uint32_t index,
                            std::string& name) override;
    MetabaseStatus SetData(MetabaseHandle handle, std::string_view path,
                           const MetabaseRecord& record) override;
    MetabaseStatus GetData(MetabaseHandle handle, std::string_view path, uint32_t id,
                           MetabaseRecord& record) override;

  private:
    static std::string EnvironmentPath();
    struct OpenedKey {
        std::string path;
        MetabaseAccess access;
        uint32_t timeoutMs;
    };

    FileMetabase(std::string path, std::string apacheDir);
    MetabaseStatus Load(MetabaseKey& root) const;
    // The absolute path of `path` below the key of `handle`; kInvalidHandle when unknown.
    MetabaseStatus Resolve(MetabaseHandle handle, std::string_view path, std::string& full,
                           const OpenedKey** opened = nullptr) const;
    // Runs `change` on the key at `path` inside one locked transaction; writes only when it
    // returns kSuccess.
    template <typename Change>
    MetabaseStatus Transact(MetabaseHandle handle, std::string_view path, Change&& change);

    std::string path_;
    std::string apacheDir_;
    std::map<MetabaseHandle, OpenedKey> opened_;
    MetabaseHandle nextHandle_ = 1;
};

}  // namespace vdirkit
