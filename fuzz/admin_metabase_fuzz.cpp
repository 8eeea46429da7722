// The metabase file parser on arbitrary bytes: it either refuses the text or reads a tree that
// survives a round trip unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "admin/MetabaseFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vdirkit::MetabaseFile;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vdirkit::MetabaseKey root;
    if (MetabaseFile::Parse(text, root) != 0) return 0;
    vdirkit::MetabaseKey again;
    if (MetabaseFile::Parse(MetabaseFile::Serialize(root), again) != 0) std::abort();
    if (!(again == root)) std::abort();
    return 0;
}
