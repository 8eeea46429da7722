#include "admin/FileMetabase.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "admin/ApacheExporter.h"
#include "admin/AtomicFile.h"
#include "admin/FileLock.h"
#include "admin/MetabaseFile.h"
#include "admin/TextChecks.h"

namespace vdirkit {
namespace {

bool IsValidText(const MetabaseRecord& record) {
    if (const auto* text = std::get_if<std::string>(&record.value)) return IsValidUtf8(*text);
    if (const auto* texts = std::get_if<std::vector<std::string>>(&record.value))
        return std::all_of(texts->begin(), texts->end(),
                           [](const std::string& t) { return IsValidUtf8(t); });
    return true;
}

}  // namespace

FileMetabase::FileMetabase(std::string path, std::string apacheDir)
    : path_(std::move(path)), apacheDir_(std::move(apacheDir)) {}

std::unique_ptr<FileMetabase> FileMetabase::Open(const std::string& path,
                                                 const std::string& apacheDir) {
    int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    close(fd);
    return std::unique_ptr<FileMetabase>(new FileMetabase(path, apacheDir));
}

std::string FileMetabase::EnvironmentPath() {
    const char* path = std::getenv(kPathVariable);
    return path != nullptr && *path != '\0' ? path : kDefaultPath;
}

bool FileMetabase::UsableFromEnvironment() {
    const std::string file = EnvironmentPath();
    if (access(file.c_str(), F_OK) == 0) return access(file.c_str(), R_OK) == 0;
    const std::string dir = std::filesystem::path(file).parent_path().string();
    return access(dir.empty() ? "." : dir.c_str(), W_OK) == 0;
}

std::unique_ptr<FileMetabase> FileMetabase::OpenFromEnvironment() {
    const std::string file = EnvironmentPath();
    const char* apache = std::getenv(kApacheDirVariable);
    const std::string apacheDir =
        apache != nullptr && *apache != '\0'
            ? apache
            : (std::filesystem::path(file).parent_path() / "apache").string();
    return Open(file, apacheDir);
}

MetabaseStatus FileMetabase::Load(MetabaseKey& root) const {
    std::string text;
    if (!AtomicFile::Read(path_, text, MetabaseFile::kMaxFileBytes))
        return MetabaseError::kInvalidData;
    return MetabaseFile::Parse(text, root);
}

MetabaseStatus FileMetabase::Resolve(MetabaseHandle handle, std::string_view path,
                                     std::string& full, const OpenedKey** opened) const {
    std::string base = "/";
    if (handle != kMetabaseRootHandle) {
        const auto it = opened_.find(handle);
        if (it == opened_.end()) return MetabaseError::kInvalidHandle;
        base = it->second.path;
        if (opened != nullptr) *opened = &it->second;
    }
    full = base + "/" + std::string(path);
    return MetabaseError::kSuccess;
}

MetabaseStatus FileMetabase::OpenKey(MetabaseHandle parent, std::string_view path,
                                     MetabaseAccess access, uint32_t timeoutMs,
                                     MetabaseHandle& opened) {
    std::string full;
    if (const auto status = Resolve(parent, path, full)) return status;
    MetabaseKey root;
    if (const auto status = Load(root)) return status;
    if (root.Find(full) == nullptr) return MetabaseError::kPathNotFound;
    opened = nextHandle_++;
    opened_[opened] = {full, access, timeoutMs};
    return MetabaseError::kSuccess;
}

MetabaseStatus FileMetabase::CloseKey(MetabaseHandle handle) {
    return opened_.erase(handle) == 1 ? MetabaseError::kSuccess : MetabaseError::kInvalidHandle;
}

template <typename Change>
MetabaseStatus FileMetabase::Transact(MetabaseHandle handle, std::string_view path,
                                      Change&& change) {
    std::string full;
    const OpenedKey* key = nullptr;
    if (const auto status = Resolve(handle, path, full, &key)) return status;
    if (key == nullptr || key->access != MetabaseAccess::ReadWrite)
        return MetabaseError::kAccessDenied;
    const FileLock lock(path_ + ".lock", std::max(key->timeoutMs, kMinLockWaitMs));
    if (!lock.locked())
        return lock.opened() ? MetabaseError::kTimeout : MetabaseError::kAccessDenied;
    MetabaseKey root;
    if (const auto status = Load(root)) return status;
    MetabaseKey* target = root.Find(full);
    if (target == nullptr) return MetabaseError::kPathNotFound;
    if (const auto status = change(*target)) return status;
    if (!AtomicFile::Write(path_, MetabaseFile::Serialize(root))) return MetabaseError::kWriteFault;
    if (!apacheDir_.empty() && !ApacheExporter::Write(apacheDir_, root))
        return MetabaseError::kWriteFault;
    return MetabaseError::kSuccess;
}

MetabaseStatus FileMetabase::AddKey(MetabaseHandle handle, std::string_view path) {
    return Transact(handle, "", [&](MetabaseKey& key) { return key.Add(path); });
}

MetabaseStatus FileMetabase::SetData(MetabaseHandle handle, std::string_view path,
                                     const MetabaseRecord& record) {
    if (!record.IsConsistent() || !IsValidText(record)) return MetabaseError::kInvalidParameter;
    return Transact(handle, path, [&](MetabaseKey& key) {
        key.SetRecord(record);
        return MetabaseError::kSuccess;
    });
}

MetabaseStatus FileMetabase::EnumKeys(MetabaseHandle handle, std::string_view path, uint32_t index,
                                      std::string& name) {
    std::string full;
    if (const auto status = Resolve(handle, path, full)) return status;
    MetabaseKey root;
    if (const auto status = Load(root)) return status;
    const MetabaseKey* key = root.Find(full);
    if (key == nullptr) return MetabaseError::kPathNotFound;
    if (index >= key->children().size()) return MetabaseError::kNoMoreItems;
    name = key->children()[index].name();
    return MetabaseError::kSuccess;
}

MetabaseStatus FileMetabase::GetData(MetabaseHandle handle, std::string_view path, uint32_t id,
                                     MetabaseRecord& record) {
    std::string full;
    if (const auto status = Resolve(handle, path, full)) return status;
    MetabaseKey root;
    if (const auto status = Load(root)) return status;
    const MetabaseKey* key = root.Find(full);
    if (key == nullptr) return MetabaseError::kPathNotFound;
    const MetabaseRecord* found = key->Record(id);
    if (found == nullptr) return MetabaseError::kDataNotFound;
    record = *found;
    return MetabaseError::kSuccess;
}

}  // namespace vdirkit
