#pragma once
// A pipeline stage. `apply` reads and writes the request's two stores; a failure is thrown as
// Filter::exception (each filter derives its own nested exception class from it).
#include "kernel/ErrorMessage.h"
#include "utils/InternalData.h"
#include "utils/RefCounted.h"
#include "utils/StringMap.h"

class Filter : public ref_counted<Filter> {
  public:
    class exception : public Error::ErrorMessage {
      public:
        using Error::ErrorMessage::ErrorMessage;
    };

    virtual void apply(StringMap& map, InternalData& data) = 0;
    virtual ~Filter() = default;
};

using FilterRef = ref_ptr<Filter>;

// Declares `Name::Name##Exception` with the message/file/line constructor.
#define VERB_FILTER_EXCEPTION(ExceptionName)         \
    class ExceptionName : public Filter::exception { \
      public:                                        \
        using Filter::exception::exception;          \
    }
