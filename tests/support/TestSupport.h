#pragma once
// Helpers shared by the test binaries.
#include <filesystem>
#include <string>

namespace testsupport {

// A fresh directory under the system temp dir, removed with everything in it on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string() + "/"; }
    // Writes `content` to path()/relative, creating folders; returns the full path.
    std::string Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const;

  private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);

}  // namespace testsupport
