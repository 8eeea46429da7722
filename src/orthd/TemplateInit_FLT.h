#pragma once
// First stage of orthd: builds the command template map (command name -> template source) and
// stores it as InternalData TemplateMap (5). Building touches no file: file sources read their
// file, and selector sources build their variants, only when asked for content.
//
// Reads nothing; writes InternalData TemplateMap. The map is built once per process and shared by
// its requests: its sources read the stores of the request that last applied this filter, and
// selector sources build their variants again for each request. The stored map must not be used
// after its request's string map and InternalData are gone.
// Throws TemplateInit_FLTException ("TemplateInit_FLT::apply() - internal error." ...) for an
// unexpected failure; filter exceptions pass through.
//
// Also home of the two helpers the plugin and image selector maps use: matchNameTemplate and
// listFiles (their exceptions are this filter's).
#include <string>
#include <vector>

#include "kernel/Filter.h"

namespace orthd {

class TemplateInit_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(TemplateInit_FLTException);
    // A name template without "*".
    VERB_FILTER_EXCEPTION(EInvalidTemplate);
    // A file name that the name template does not describe.
    VERB_FILTER_EXCEPTION(ENotMatch);

    void apply(StringMap& map, InternalData& data) override;

    // The part of `name` that the single "*" of `nameTemplate` stands for ("kwirl_*plugin.js",
    // "kwirl_fckplugin.js" -> "fck"). Throws EInvalidTemplate or ENotMatch.
    static std::string matchNameTemplate(const std::string& nameTemplate, const std::string& name);

    // Names of the regular files (directories and other kinds left out, symbolic links followed)
    // in `directory` that match the shell wildcard `pattern`, in the order the file system
    // reports them. A directory that cannot be read gives no names.
    static std::vector<std::string> listFiles(const std::string& directory,
                                              const std::string& pattern);
};

}  // namespace orthd
