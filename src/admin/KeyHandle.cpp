#include "admin/KeyHandle.h"

namespace vdirkit {

KeyHandle::KeyHandle(Metabase& metabase, const std::string& path, MetabaseAccess access,
                     uint32_t timeoutMs)
    : metabase_(metabase),
      status_(metabase.OpenKey(kMetabaseRootHandle, path, access, timeoutMs, handle_)) {}

MetabaseStatus KeyHandle::Close() {
    if (status_ != MetabaseError::kSuccess || closed_) return status_;
    closed_ = true;
    return metabase_.CloseKey(handle_);
}

}  // namespace vdirkit
