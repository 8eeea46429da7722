#pragma once
// Files replaced as a whole: readers see the old content or the new one, never a part, even when
// the writer is killed half-way.
#include <cstddef>
#include <string>

namespace vdirkit {

class AtomicFile {
  public:
    // Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over
    // `path`. The new file keeps the mode of the one it replaces (0644 for a new one). False on
    // any failure, with `path` untouched and the temporary file removed.
    static bool Write(const std::string& path, const std::string& content);

    // The whole file; false when it cannot be read or is longer than `maxBytes`.
    static bool Read(const std::string& path, std::string& content, size_t maxBytes);
};

}  // namespace vdirkit
