#include "kernel/settings/BoolSetting_SS.h"

#include "kernel/settings/SettingValues.h"

void BoolSetting_SS::setDefault(StringMap& /*map*/, InternalData& data) {
    data.Set<bool>(dataKey_, defaultValue_);
}

void BoolSetting_SS::apply(StringMap& /*map*/, InternalData& data, const std::string& value) {
    data.Set<bool>(dataKey_, settings::IsTrue(value));
}
