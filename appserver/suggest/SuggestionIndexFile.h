#pragma once
// A SymmetricDeleteIndex kept in a file, so that an engine start maps it in milliseconds
// instead of building it (tens of seconds for a large dictionary), and every engine process on
// the machine shares its pages.
//
// The file starts with a header naming the format and the word list it was built from (the
// `identity`: the dictionary files with their sizes and times); the tables follow, 8-byte
// aligned, in this machine's byte order. A file is outside input: Load accepts it only when the
// header, the identity and every table's bounds check out, and returns nothing otherwise (the
// caller builds the index again). Store writes a temporary file beside the target and renames
// it over, so that a reader never sees a half-written file.
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "suggest/SymmetricDeleteIndex.h"

class SuggestionIndexFile {
  public:
    // Larger files are not mapped.
    static constexpr size_t kMaxFileBytes = size_t{4} << 30;

    // The index in `path` when the file is whole and was made from `identity`.
    static std::optional<SymmetricDeleteIndex> Load(const std::string& path,
                                                    std::string_view identity);
    // The same over a file's bytes (8-byte aligned), which `owner` keeps alive.
    static std::optional<SymmetricDeleteIndex> FromBytes(std::span<const std::byte> file,
                                                         std::string_view identity,
                                                         std::shared_ptr<const void> owner);
    // Writes `index` to `path` (creating its folder); false when it cannot.
    static bool Store(const std::string& path, std::string_view identity,
                      const SymmetricDeleteIndex& index);
};
