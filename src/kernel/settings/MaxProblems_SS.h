#pragma once
// INI key "max_problems" (orthd): how many misspellings one request marks at most. Kept under
// the internal key ":max_problems:", which no request parameter can set; the default holds
// when the INI file has no such key or a value that is not a positive decimal number.
#include <cstddef>
#include <string>

#include "kernel/ServerSettingHandler.h"

class MaxProblems_SS : public ServerSettingHandler {
  public:
    static constexpr std::size_t kDefault = 5000;
    static constexpr char kKey[] = ":max_problems:";

    explicit MaxProblems_SS(Program program) : ServerSettingHandler(program) {}

    void setDefault(StringMap& map, InternalData& data) override;
    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "max_problems"; }

    // The limit the handler left in `map`; kDefault when there is none.
    static std::size_t Of(const StringMap& map);
};
