#include "orthd/templatemaps/PluginScripts.h"

#include "kernel/ContentTypes.h"
#include "orthd/TemplateInit_FLT.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

void AddPluginScripts(TemplateMap& variants, const std::string& folder,
                      const std::string& nameTemplate, StringMap& map, InternalData& data) {
    for (const auto& file : TemplateInit_FLT::listFiles(map[":tmpl_dir:"] + folder, nameTemplate)) {
        const std::string plugin = TemplateInit_FLT::matchNameTemplate(nameTemplate, file);
        // A file whose "*" stands for nothing would take the place of the client's main script.
        if (!plugin.empty())
            variants.set(plugin, FileSource(ctype::kJavaScript, folder + file, map, data, false));
    }
}

}  // namespace orthd
