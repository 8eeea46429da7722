#pragma once
// Overlays the string map with the keys of the access-list file. Fifth "before" filter of
// orthd: after IniFileLoad_FLT (which sets "acl_file_name"), before Settings_FLT.
//
// Reads: "acl_file_name" (a path as given: relative names are relative to the working
// directory, which a CGI server sets to the program's directory).
// Writes: every key of that file (INI format) as a string-map value, replacing what is there.
// Nothing happens when the name is empty. A file that cannot be read is logged as
// "*ERROR* Acl_FLT::apply <parser message>" and the filter ends normally.
// Throws Acl_FLTException ("Acl::apply() - internal error." + cause) only for unexpected
// failures. The name can only come from configuration: Request_FLT drops it as a parameter.
#include "kernel/Filter.h"

class Acl_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(Acl_FLTException);

    void apply(StringMap& map, InternalData& data) override;
};
