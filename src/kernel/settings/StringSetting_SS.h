#pragma once
// An INI key copied as a string into InternalData; no default (the entry is absent when the
// file has no such key). Base of the named string handlers.
#include "kernel/ServerSettingHandler.h"

class StringSetting_SS : public ServerSettingHandler {
  public:
    StringSetting_SS(Program program, std::string key, int dataKey)
        : ServerSettingHandler(program), key_(std::move(key)), dataKey_(dataKey) {}

    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return key_; }

  private:
    std::string key_;
    int dataKey_;
};
