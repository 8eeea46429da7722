#include "utils/logging/AppendFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

AppendFile::AppendFile(const char* path)
    : fd_(::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kCreateMode)) {}

AppendFile::~AppendFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool AppendFile::Write(std::string_view bytes) {
    if (fd_ < 0) return false;
    ssize_t n = 0;
    while ((n = ::write(fd_, bytes.data(), bytes.size())) < 0 && errno == EINTR) {
    }
    return n == static_cast<ssize_t>(bytes.size());
}
