#pragma once
// An append file kept open between writes, for a process that appends a line per request: the
// file is opened once rather than once per line. It is opened again when the path changes, when
// the last open failed, and once kReopenAfterMs have passed since it was opened (or the clock went
// back), so that a log file moved or removed meanwhile is replaced within that time. Each Write
// stays one O_APPEND write call, so whole lines of concurrent processes never interleave.
// One thread at a time.
#include <memory>
#include <string>
#include <string_view>

#include "utils/logging/AppendFile.h"

class KeptAppendFile {
  public:
    static constexpr long long kReopenAfterMs = 1000;

    // Appends `bytes` to the file at `path` at time `nowMs` (milliseconds of any one clock).
    // True when every byte was written.
    bool Write(const std::string& path, std::string_view bytes, long long nowMs);

  private:
    std::string path_;
    std::unique_ptr<AppendFile> file_;
    long long openedMs_ = 0;
};
