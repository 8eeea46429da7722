#include "kernel/DetailedErrorMessage.h"

namespace Error {

void DetailedErrorMessage::Render(StringMap& map, InternalData& data) const {
    ErrorMessage::Render(map, data);
    map["e_ref_url"] = refUrl_;
    map["e_ref_text"] = refText_;
}

}  // namespace Error
