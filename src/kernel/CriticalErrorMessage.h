#pragma once
// A detailed error that the answer marks as critical ("e_is_critical" = "1").
#include "kernel/DetailedErrorMessage.h"

namespace Error {

class CriticalErrorMessage : public DetailedErrorMessage {
  public:
    using DetailedErrorMessage::DetailedErrorMessage;
    CriticalErrorMessage(std::string message, std::string file, int line)
        : DetailedErrorMessage(std::move(message), "", "", std::move(file), line) {}

    void Render(StringMap& map, InternalData& data) const override;
};

}  // namespace Error
