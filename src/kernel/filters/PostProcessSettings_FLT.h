#pragma once
// Expands the references "<." name ".>" (ReferenceExpander) in the plain values of the main INI
// file (orthd; after the path stage, before the interface texts).
// Reads InternalData IniKeys (written by IniFileLoad_FLT; its absence is an error) and, for each
// listed key in order, replaces the string-map value by its expansion; later keys see the earlier
// ones expanded. A value whose expansion reaches a limit (self-reference, runaway growth) stays
// as written and a warning is logged. Handler keys, included files, the access list and request
// parameters are not expanded.
// Throws PostProcessSettingsException for any failure but a Filter::exception.
#include <string>

#include "kernel/Filter.h"
#include "kernel/settings/ReferenceExpander.h"

class PostProcessSettings_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(PostProcessSettingsException);

    // Reads the process environment.
    PostProcessSettings_FLT();
    explicit PostProcessSettings_FLT(ReferenceExpander::Environment environment)
        : environment_(std::move(environment)) {}

    void apply(StringMap& map, InternalData& data) override;

  private:
    void expandIniValues(StringMap& map, InternalData& data);

    ReferenceExpander::Environment environment_;
};
