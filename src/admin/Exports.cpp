// The exported functions: each opens the metabase for the call, runs the VirtualDirectoryAdmin
// step and copies the result into the caller's buffer without overrunning it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "admin/ApacheSiteImporter.h"
#include "admin/FileMetabase.h"
#include "admin/TerminalSiteChooser.h"
#include "admin/VirtualDirectoryAdmin.h"
#include "admin/vdirkit.h"

namespace {

using vdirkit::FileMetabase;
using vdirkit::MetabaseStatus;
using vdirkit::VirtualDirectoryAdmin;
namespace MetabaseError = vdirkit::MetabaseError;

constexpr size_t kHostNameBytes = 1024;

// False (with an empty string where there is room for one) when `text` does not fit.
bool CopyOut(const std::string& text, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    if (text.size() >= size) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

void Clear(char* buffer, size_t size) { CopyOut("", buffer, size); }

MetabaseStatus CreateDirectory(int site, const char* parent, const char* name, const char* path) {
    if (parent == nullptr || name == nullptr || path == nullptr)
        return MetabaseError::kInvalidParameter;
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return MetabaseError::kAccessDenied;
    return VirtualDirectoryAdmin(*metabase).CreateVirtualDirectory(site, parent, name, path);
}

int CreateApplication(int site, const char* parent, const char* name, const char* friendlyName) {
    if (parent == nullptr || name == nullptr || friendlyName == nullptr) return 1;
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return 1;
    return VirtualDirectoryAdmin(*metabase).CreateApplication(site, parent, name, friendlyName) == 1
               ? 1
               : 0;
}

}  // namespace

extern "C" {

int isIISInstalled(void) { return FileMetabase::UsableFromEnvironment() ? 1 : 0; }

int GetDefaultVSn(char* record, size_t size) {
    Clear(record, size);
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return 0;
    const auto found = VirtualDirectoryAdmin(*metabase).DefaultSiteRecord();
    return found && CopyOut(*found, record, size) ? 1 : 0;
}

int GetDefaultVS(char* record) { return GetDefaultVSn(record, VDIRKIT_BUFFER_BYTES); }

int GetVSInfon(char* record, size_t size) {
    Clear(record, size);
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return 0;
    vdirkit::TerminalSiteChooser chooser;
    const auto chosen = VirtualDirectoryAdmin(*metabase).ChooseSite(chooser);
    return CopyOut(chosen.record, record, size) && chosen.confirmed ? 1 : 0;
}

int GetVSInfo(char* record) { return GetVSInfon(record, VDIRKIT_BUFFER_BYTES); }

unsigned CreateVDExStatus(int site, const char* parent, const char* name,
                          const char* physicalPath) {
    return CreateDirectory(site, parent, name, physicalPath);
}

int CreateVDEx(int site, const char* parent, const char* name, const char* physicalPath) {
    return CreateDirectory(site, parent, name, physicalPath) == 1 ? 1 : 0;
}

int CreateVD(int site, const char* name, const char* physicalPath) {
    return CreateVDEx(site, "", name, physicalPath);
}

int CreateAppEx(int site, const char* parent, const char* name, const char* friendlyName) {
    return CreateApplication(site, parent, name, friendlyName);
}

int CreateApp(int site, const char* name, const char* friendlyName) {
    return CreateApplication(site, "", name, friendlyName);
}

int GetHostNamen(char* name, size_t size) {
    char host[kHostNameBytes] = {};
    // gethostname() need not terminate a name it had to cut.
    if (gethostname(host, sizeof host - 1) != 0) {
        const std::string code = std::to_string(errno);
        std::memcpy(host, code.c_str(), code.size() + 1);
    }
    return CopyOut(host, name, size) ? 1 : 0;
}

int GetHostName(char* name) {
    GetHostNamen(name, VDIRKIT_BUFFER_BYTES);
    return 1;
}

int GetVSListn(char* records, size_t size) {
    Clear(records, size);
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return 0;
    VirtualDirectoryAdmin admin(*metabase);
    std::string text;
    for (const auto& site : admin.ListSites()) text += admin.SiteRecord(site) + "\n";
    return CopyOut(text, records, size) ? 1 : 0;
}

unsigned ImportApacheSites(const char* dir, unsigned* count) {
    if (dir == nullptr) return MetabaseError::kInvalidParameter;
    const auto metabase = FileMetabase::OpenFromEnvironment();
    if (!metabase) return MetabaseError::kAccessDenied;
    std::vector<vdirkit::ApacheSite> sites;
    if (const auto status = vdirkit::ApacheSiteImporter::ReadDirectory(dir, sites)) return status;
    if (const auto status = vdirkit::ApacheSiteImporter::Import(*metabase, sites)) return status;
    if (count != nullptr) *count = static_cast<unsigned>(sites.size());
    return MetabaseError::kSuccess;
}

}  // extern "C"
