#include "core/ProgramFolder.h"

#include <filesystem>

std::string ProgramFolder::Path() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}
