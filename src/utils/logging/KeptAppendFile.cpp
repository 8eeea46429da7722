#include "utils/logging/KeptAppendFile.h"

bool KeptAppendFile::Write(const std::string& path, std::string_view bytes, long long nowMs) {
    const bool fresh = file_ && file_->IsOpen() && path == path_ && nowMs >= openedMs_ &&
                       nowMs - openedMs_ < kReopenAfterMs;
    if (!fresh) {
        file_.reset();  // closed before the new one opens: one descriptor at a time
        file_ = std::make_unique<AppendFile>(path.c_str());
        path_ = path;
        openedMs_ = nowMs;
    }
    return file_->Write(bytes);
}
