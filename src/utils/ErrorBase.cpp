#include "utils/ErrorBase.h"

std::string ModuleOf(std::string_view sourceFile) {
    // A build without the prefix map leaves an absolute path: keep what follows "src/".
    if (auto pos = sourceFile.rfind("/src/"); pos != std::string_view::npos)
        sourceFile.remove_prefix(pos + 5);
    const auto slash = sourceFile.rfind('/');
    const auto dot = sourceFile.rfind('.');
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        sourceFile = sourceFile.substr(0, dot);
    return std::string(sourceFile);
}
