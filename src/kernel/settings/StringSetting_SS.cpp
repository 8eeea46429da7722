#include "kernel/settings/StringSetting_SS.h"

void StringSetting_SS::apply(StringMap& /*map*/, InternalData& data, const std::string& value) {
    data.Set<std::string>(dataKey_, value);
}
