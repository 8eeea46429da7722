#pragma once
// Plugin scripts of the two clients: files named by a name template with one "*" (for example
// "kwirl_*plugin.js") in one folder of the browser-specific template directory (":tmpl_dir:").
#include <string>

#include "templates/TemplateMap.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

namespace orthd {

// Adds to `variants`, for each file of ":tmpl_dir:" + `folder` that `nameTemplate` describes, a
// JavaScript file source named `folder` + file name, under what the "*" stands for. Only the
// browser-specific directory is listed: a plugin found only in the default directory is not
// served. A file whose "*" stands for nothing is left out (the empty name is the main script).
void AddPluginScripts(TemplateMap& variants, const std::string& folder,
                      const std::string& nameTemplate, StringMap& map, InternalData& data);

}  // namespace orthd
