#pragma once
// Applies the "settings" request parameter (orthd), after the access-list stage.
// Reads string-map "settings": items separated by ";", each "name" or "name=value" (not trimmed;
// empty items skipped; the first item of a name wins). Calls every SettingHandler registered for
// the program, in registration order, whose name has an item; handlers write InternalData
// (Ferrix_S: ViaFerrix). A handler's Filter::exception passes through; anything else it throws
// becomes Settings_FLT::Exception.
#include <map>
#include <string>
#include <string_view>

#include "kernel/CommandRegistry.h"
#include "kernel/Filter.h"

class Settings_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(Exception);

    explicit Settings_FLT(Program program) : program_(program) {}

    void apply(StringMap& map, InternalData& data) override;

    // The items of a "settings" value, name -> value.
    static std::map<std::string, std::string> ParseItems(std::string_view settings);

  private:
    void applyHandlers(StringMap& map, InternalData& data);

    Program program_;
};
