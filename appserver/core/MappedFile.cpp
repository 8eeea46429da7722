#include "core/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<const MappedFile> MappedFile::Open(const std::string& path, size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    void* data = MAP_FAILED;
    const bool fits = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
                      static_cast<unsigned long long>(info.st_size) <= maxBytes;
    if (fits)
        data = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ,
                      MAP_SHARED | MAP_POPULATE, fd, 0);
    ::close(fd);  // the mapping stays valid without the descriptor
    if (data == MAP_FAILED) return nullptr;
    return std::unique_ptr<const MappedFile>(
        new MappedFile(static_cast<const std::byte*>(data), static_cast<size_t>(info.st_size)));
}

MappedFile::~MappedFile() { ::munmap(const_cast<std::byte*>(data_), size_); }
