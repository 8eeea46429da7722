#pragma once
// INI key "schema_def" -> SchemaDef (string). orthd requires it: the path stage fails without it.
#include "kernel/settings/StringSetting_SS.h"
#include "utils/InternalDataKeys.h"

class Schema_Def_SS : public StringSetting_SS {
  public:
    explicit Schema_Def_SS(Program program)
        : StringSetting_SS(program, "schema_def", idkey::SchemaDef) {}
};
