#include "kernel/CriticalErrorMessage.h"

#include "kernel/ApiPath.h"
#include "utils/InternalDataKeys.h"

namespace Error {

void CriticalErrorMessage::Render(StringMap& map, InternalData& data) const {
    // The JSON API tells a failure of the service (the engine server) by its status.
    if (IsApiCommand(map["cmd"]))
        data.Set<std::string>(idkey::ApiStatus, "503 Service Unavailable");
    DetailedErrorMessage::Render(map, data);
    map["e_is_critical"] = "1";
}

}  // namespace Error
