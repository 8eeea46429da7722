#pragma once
// A whole file mapped read-only into memory (shared, so that every process that maps the same
// file shares its pages and none of it is heap). Its pages are mapped in at once: readers go
// through the whole file or read it at random, and a first touch of each page while a request
// waits costs more than mapping them all when the file is opened. Unmapped on destruction. The
// contents are outside input: whoever reads them validates every offset first.
#include <cstddef>
#include <memory>
#include <span>
#include <string>

class MappedFile {
  public:
    // nullptr when `path` cannot be opened, is not a regular file, is empty or larger than
    // `maxBytes`.
    static std::unique_ptr<const MappedFile> Open(const std::string& path, size_t maxBytes);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const std::byte> bytes() const { return {data_, size_}; }

  private:
    MappedFile(const std::byte* data, size_t size) : data_(data), size_(size) {}

    const std::byte* data_;
    size_t size_;
};
