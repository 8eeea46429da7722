#pragma once
// INI key "attr_wl" (orthd) -> AttributeWhiteList: the attributes a kept tag keeps.
#include "kernel/settings/StringList_SS.h"
#include "text/AttributeWhiteList.h"
#include "utils/InternalDataKeys.h"

class AttributesWhiteList_SS : public StringList_SS<AttributeWhiteList> {
  public:
    explicit AttributesWhiteList_SS(Program program)
        : StringList_SS<AttributeWhiteList>(program, "attr_wl", idkey::AttributeWhiteList) {}
};
