#include "kernel/CriticalErrorMessage.h"

namespace Error {

void CriticalErrorMessage::Render(StringMap& map, InternalData& data) const {
    DetailedErrorMessage::Render(map, data);
    map["e_is_critical"] = "1";
}

}  // namespace Error
