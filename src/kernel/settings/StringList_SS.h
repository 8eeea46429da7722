#pragma once
// A "|"-separated INI list (settings::ParseList) stored as the set type `Set` (TagWhiteList or
// AttributeWhiteList) under InternalData key valueKey(). setDefault stores the empty set; apply
// replaces its contents and throws InternalData::ValueNotFound / TypeMismatch when the entry is
// missing or of another type (cannot happen after setDefault). The list last parsed is kept with
// its INI value: an unchanged INI file is not parsed again for every request.
#include <mutex>
#include <optional>
#include <string>

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
        Set& set = data.Get<Set>(dataKey_);
        const std::lock_guard lock(lastMutex_);
        if (!lastParsed_ || value != lastValue_) {
            lastParsed_ = settings::ParseList(value);
            lastValue_ = value;
        }
        set.names = *lastParsed_;
    }
    std::string name() const override { return key_; }
    int valueKey() const { return dataKey_; }

  private:
    std::string key_;
    int dataKey_;
    std::mutex lastMutex_;
    std::string lastValue_;
    std::optional<decltype(Set::names)> lastParsed_;
};
