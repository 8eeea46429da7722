#pragma once
// INI key "memory_limit_mb" (both programs): the most heap memory the process may take, in
// MiB (default 512; 0 leaves the limit as the process found it). A request that needs more
// fails alone (its allocation fails and it gets an error answer) instead of pressing the host.
// The limit is only ever lowered below the one the process started with; a value that is not
// a decimal number keeps the default. Builds with the address sanitizer set no limit (its
// shadow memory counts as heap).
#include <cstddef>
#include <string>

#include "kernel/ServerSettingHandler.h"

class MemoryLimit_SS : public ServerSettingHandler {
  public:
    static constexpr std::size_t kDefaultMiB = 512;

    explicit MemoryLimit_SS(Program program) : ServerSettingHandler(program) {}

    void setDefault(StringMap& map, InternalData& data) override;
    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "memory_limit_mb"; }

    // Sets the process's heap limit to `mib` MiB (0: the limit it started with). False when
    // the system refused.
    static bool Limit(std::size_t mib);
};
