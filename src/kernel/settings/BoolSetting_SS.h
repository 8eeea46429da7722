#pragma once
// A boolean INI key stored as a bool in InternalData: the default before the file is read, then
// the boolean rule (settings::IsTrue) on the key's value. Base of the named boolean handlers.
#include "kernel/ServerSettingHandler.h"

class BoolSetting_SS : public ServerSettingHandler {
  public:
    BoolSetting_SS(Program program, std::string key, int dataKey, bool defaultValue)
        : ServerSettingHandler(program),
          key_(std::move(key)),
          dataKey_(dataKey),
          defaultValue_(defaultValue) {}

    void setDefault(StringMap& map, InternalData& data) override;
    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return key_; }

  private:
    std::string key_;
    int dataKey_;
    bool defaultValue_;
};
