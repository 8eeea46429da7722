#pragma once
// A metabase key opened from the root, closed on every way out of the scope.
#include <string>

#include "admin/Metabase.h"

namespace vdirkit {

class KeyHandle {
  public:
    // `metabase` must outlive the handle.
    KeyHandle(Metabase& metabase, const std::string& path, MetabaseAccess access,
              uint32_t timeoutMs);
    ~KeyHandle() { Close(); }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    // The status of the opening; the handle is usable only when it is 0.
    MetabaseStatus status() const { return status_; }
    MetabaseHandle handle() const { return handle_; }
    // Closes now and tells how that went (the opening's status when it failed). Later calls and
    // the destructor do nothing.
    MetabaseStatus Close();

  private:
    Metabase& metabase_;
    MetabaseHandle handle_ = 0;
    MetabaseStatus status_;
    bool closed_ = false;
};

}  // namespace vdirkit
