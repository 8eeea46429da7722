#pragma once
// "/v2/check": the spelling and grammar problems of "text" (or the annotated "data") in
// "language" ("en-US", or "auto" to detect one among the served languages, ties going to
// "preferredVariants"), as CheckAnswer shapes them. "motherTongue" and "level" are accepted and
// not used. Failures: 400 for a missing or bad parameter or an unsupported language, 413 for a
// text over kMaxTextBytes, 503 when the engine server fails.
#include "kernel/CommandHandler.h"

class V2Check_CH : public CommandHandler {
  public:
    static constexpr size_t kMaxTextBytes = 1024 * 1024;
    void apply(StringMap& map, InternalData& data) override;
};
