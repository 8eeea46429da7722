#pragma once
// INI key "html_wl" (orthd) -> TagWhiteList: the tags the markup filters keep.
#include "kernel/settings/StringList_SS.h"
#include "text/TagWhiteList.h"
#include "utils/InternalDataKeys.h"

class HTMLWhiteList_SS : public StringList_SS<TagWhiteList> {
  public:
    explicit HTMLWhiteList_SS(Program program)
        : StringList_SS<TagWhiteList>(program, "html_wl", idkey::TagWhiteList) {}
};
