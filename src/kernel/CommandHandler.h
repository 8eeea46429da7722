#pragma once
// A command: chosen by the "cmd" parameter, created for one `apply` and deleted after it.
// Handlers write their results into the stores (mostly "view" and the keys their template names).
#include "kernel/CriticalErrorMessage.h"
#include "kernel/ErrorMessage.h"
#include "utils/InternalData.h"
#include "utils/RefCounted.h"
#include "utils/StringMap.h"

class CommandHandler : public ref_counted<CommandHandler> {
  public:
    class exception : public Error::ErrorMessage {
      public:
        using Error::ErrorMessage::ErrorMessage;
    };
    // Renders as a critical error (e.g. the engine server is unavailable).
    class criticalException : public exception {
      public:
        using exception::exception;
        void Render(StringMap& map, InternalData& data) const override {
            exception::Render(map, data);
            map["e_is_critical"] = "1";
        }
    };

    virtual void apply(StringMap& map, InternalData& data) = 0;
    virtual ~CommandHandler() = default;
};

using CommandHandlerRef = ref_ptr<CommandHandler>;
