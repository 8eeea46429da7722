// The Apache site reader on arbitrary bytes, and the include file written for what it read: no
// line of the include file may come from outside a comment or a quoted value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "admin/ApacheExporter.h"
#include "admin/ApacheSiteImporter.h"
#include "admin/MetabaseFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vdirkit;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto sites = ApacheSiteImporter::Parse(text);
    MetabaseKey root = MetabaseFile::FreshTree();
    root.Add("/LM/W3SVC/1/Root");
    MetabaseKey* site = root.Find("/LM/W3SVC/1");
    for (size_t i = 0; i < sites.size(); ++i) {
        const std::string name = "d" + std::to_string(i);
        site->Add("Root/" + name);
        MetabaseKey* dir = site->Find("Root/" + name);
        dir->SetRecord(MetabaseRecord::Text(kPropertyKeyType, 0, 1, "IIsWebVirtualDir"));
        dir->SetRecord(MetabaseRecord::Text(kPropertyVrPath, 0, 2, sites[i].documentRoot));
        dir->SetRecord(MetabaseRecord::Text(kPropertyAppRoot, 0, 2, "x"));
        dir->SetRecord(MetabaseRecord::Text(kPropertyAppFriendlyName, 0, 2, sites[i].serverName));
        site->SetRecord(MetabaseRecord::Text(kPropertyServerComment, 0, 1, sites[i].binding));
    }
    const std::string config = ApacheExporter::Render(root).at(1);
    size_t start = 0;
    while (start < config.size()) {
        const size_t end = config.find('\n', start);
        const std::string_view line(config.data() + start, end - start);
        const bool known = line.empty() || line[0] == '#' || line.starts_with("Alias \"") ||
                           line.starts_with("<Directory \"") || line.starts_with("    ") ||
                           line == "</Directory>";
        if (!known) std::abort();
        start = end + 1;
    }
    return 0;
}
