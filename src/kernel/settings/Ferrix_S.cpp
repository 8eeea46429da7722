#include "kernel/settings/Ferrix_S.h"

#include "utils/InternalDataKeys.h"

void Ferrix_S::apply(StringMap& /*map*/, InternalData& data, const std::string& value) {
    data.Set<bool>(idkey::ViaFerrix, value.empty() || value == "1");
}
