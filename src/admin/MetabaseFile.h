#pragma once
// The text form of the metabase tree, one JSON document:
//   {"format": 1, "keys": [KEY...]}
//   KEY      = {"name": "W3SVC", "properties": [PROPERTY...], "keys": [KEY...]}
//   PROPERTY = {"id": 1015, "attributes": 1, "userType": 1, "type": TYPE, "value": VALUE}
// TYPE is "number" (VALUE an unsigned 32-bit number), "string" or "expandString" (a string),
// "multiString" (an array of strings) or "binary" (a string of hex digit pairs). "properties"
// and "keys" may be left out. The file is edited by hand now and then: anything else is refused
// as a whole rather than half-read, so that a damaged file is never overwritten.
#include <cstddef>
#include <string>
#include <string_view>

#include "admin/Metabase.h"
#include "admin/MetabaseKey.h"

namespace vdirkit {

class MetabaseFile {
  public:
    static constexpr int kFormatVersion = 1;
    static constexpr size_t kMaxKeyDepth = 32;
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

    // Empty or blank text is the fresh tree (just kSitesPath). kInvalidData, with `root` left
    // unchanged, for anything that is not a valid document: bad JSON, wrong types, duplicate key
    // names or property identifiers, invalid names, nesting beyond kMaxKeyDepth, more than
    // kMaxFileBytes.
    static MetabaseStatus Parse(std::string_view text, MetabaseKey& root);

    // The document for `root`; its key and string texts must be valid UTF-8 (the metabase checks
    // what it stores).
    static std::string Serialize(const MetabaseKey& root);

    static MetabaseKey FreshTree();
};

}  // namespace vdirkit
