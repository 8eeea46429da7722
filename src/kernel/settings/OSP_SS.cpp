#include "kernel/settings/OSP_SS.h"

void OSP_SS::apply(StringMap& map, InternalData& /*data*/, const std::string& value) {
    std::string& osp = map["osp"];
    if (osp.empty()) osp = value;
}
