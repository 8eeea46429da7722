#pragma once
// A "|"-separated INI list (settings::ParseList) stored as the set type `Set` (TagWhiteList or
// AttributeWhiteList) under InternalData key valueKey(). setDefault stores the empty set; apply
// replaces its contents and throws InternalData::ValueNotFound / TypeMismatch when the entry is
// missing or of another type (cannot happen after setDefault).
#include "kernel/ServerSettingHandler.h"
#include "kernel/settings/SettingValues.h"

template <typename Set>
class StringList_SS : public ServerSettingHandler {
  public:
    StringList_SS(Program program, std::string key, int dataKey)
        : ServerSettingHandler(program), key_(std::move(key)), dataKey_(dataKey) {}

    void setDefault(StringMap& /*map*/, InternalData& data) override {
        data.Set<Set>(dataKey_, Set{});
    }
    void apply(StringMap& /*map*/, InternalData& data, const std::string& value) override {
        data.Get<Set>(dataKey_).names = settings::ParseList(value);
    }
    std::string name() const override { return key_; }
    int valueKey() const { return dataKey_; }

  private:
    std::string key_;
    int dataKey_;
};
