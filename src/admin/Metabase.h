#pragma once
// The web-server configuration store as the administration library sees it: a tree of named keys
// ("/LM/W3SVC/1/Root/spell"), each holding numbered properties. Implementations: FileMetabase
// (one JSON file, exported to Apache httpd); tests may supply their own.
#include <cstdint>
#include <string>
#include <string_view>

#include "admin/MetabaseRecord.h"

namespace vdirkit {

using MetabaseHandle = uint32_t;
// Opened implicitly; read-only.
inline constexpr MetabaseHandle kMetabaseRootHandle = 0;

// 0 on success, otherwise a system error code from MetabaseError.
using MetabaseStatus = uint32_t;

namespace MetabaseError {
inline constexpr MetabaseStatus kSuccess = 0;
inline constexpr MetabaseStatus kFileNotFound = 2;
inline constexpr MetabaseStatus kPathNotFound = 3;
inline constexpr MetabaseStatus kAccessDenied = 5;
inline constexpr MetabaseStatus kInvalidHandle = 6;
inline constexpr MetabaseStatus kInvalidData = 13;
inline constexpr MetabaseStatus kWriteFault = 29;
inline constexpr MetabaseStatus kInvalidParameter = 87;
inline constexpr MetabaseStatus kAlreadyExists = 183;
inline constexpr MetabaseStatus kNoMoreItems = 259;
inline constexpr MetabaseStatus kDataNotFound = 1168;
inline constexpr MetabaseStatus kTimeout = 1460;
}  // namespace MetabaseError

enum class MetabaseAccess { Read, ReadWrite };

// Property identifiers.
inline constexpr uint32_t kPropertyKeyType = 1002;
inline constexpr uint32_t kPropertyServerComment = 1015;  // the site's description
inline constexpr uint32_t kPropertyServerBindings = 1023;
inline constexpr uint32_t kPropertyAppFriendlyName = 2102;
inline constexpr uint32_t kPropertyAppRoot = 2103;
inline constexpr uint32_t kPropertyAppIsolated = 2104;
inline constexpr uint32_t kPropertyVrPath = 3001;  // a virtual directory's physical path
inline constexpr uint32_t kPropertyAccessPerm = 6016;

inline constexpr uint32_t kAttributeInherit = 1;
inline constexpr uint32_t kUserTypeServer = 1;
inline constexpr uint32_t kUserTypeFile = 2;
inline constexpr uint32_t kUserTypeApplication = 100;

// Bits of kPropertyAccessPerm.
inline constexpr uint32_t kAccessRead = 1;
inline constexpr uint32_t kAccessWrite = 2;
inline constexpr uint32_t kAccessExecute = 4;
inline constexpr uint32_t kAccessScript = 512;

inline constexpr uint32_t kPropertyTimeoutMs = 60000;
inline constexpr uint32_t kAddKeyTimeoutMs = 0;

inline constexpr std::string_view kSitesPath = "/LM/W3SVC";
inline constexpr std::string_view kKeyTypeVirtualDir = "IIsWebVirtualDir";
inline constexpr std::string_view kKeyTypeServer = "IIsWebServer";

// Paths are relative to a handle: '/'-separated key names, leading and doubled '/' ignored; key
// names compare without regard to ASCII case. Handles belong to the object that issued them and
// are not shared between threads.
class Metabase {
  public:
    virtual ~Metabase() = default;

    virtual MetabaseStatus OpenKey(MetabaseHandle parent, std::string_view path,
                                   MetabaseAccess access, uint32_t timeoutMs,
                                   MetabaseHandle& opened) = 0;
    virtual MetabaseStatus CloseKey(MetabaseHandle handle) = 0;
    // kAlreadyExists when the whole path exists already.
    virtual MetabaseStatus AddKey(MetabaseHandle handle, std::string_view path) = 0;
    // The name of the index-th sub-key of path, in the order the keys were added; kNoMoreItems
    // past the last.
    virtual MetabaseStatus EnumKeys(MetabaseHandle handle, std::string_view path, uint32_t index,
                                    std::string& name) = 0;
    // Replaces the property record.id; kInvalidParameter for an inconsistent record.
    virtual MetabaseStatus SetData(MetabaseHandle handle, std::string_view path,
                                   const MetabaseRecord& record) = 0;
    // The key's own property `id` (kDataNotFound when it has none).
    virtual MetabaseStatus GetData(MetabaseHandle handle, std::string_view path, uint32_t id,
                                   MetabaseRecord& record) = 0;
};

}  // namespace vdirkit
