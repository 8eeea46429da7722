#include "admin/ApacheExporter.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "admin/AtomicFile.h"
#include "admin/SiteId.h"
#include "admin/TextChecks.h"
#include "admin/VirtualDirectoryAdmin.h"

namespace vdirkit {
namespace {

struct VirtualDirectory {
    std::string url;
    const MetabaseKey* key;
    uint32_t access;
};

const std::string* TextOf(const MetabaseKey& key, uint32_t id) {
    const MetabaseRecord* record = key.Record(id);
    return record != nullptr ? std::get_if<std::string>(&record->value) : nullptr;
}

// Inside double quotes Apache reads backslashes and quotes specially and <Directory> treats
// '*', '?' and '[' as wildcards; line breaks would start new directives.
bool IsSafeConfigText(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](unsigned char c) {
        return c < 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '*' || c == '?' || c == '[';
    });
}

uint32_t AccessOf(const MetabaseKey& key, uint32_t inherited, bool& inherits) {
    const MetabaseRecord* record = key.Record(kPropertyAccessPerm);
    const auto* number = record != nullptr ? std::get_if<uint32_t>(&record->value) : nullptr;
    if (number == nullptr) return inherited;
    inherits = (record->attributes & kAttributeInherit) != 0;
    return *number;
}

// Walks the keys below a site's Root; `inherited` is the access that ancestors pass down.
void Collect(const MetabaseKey& key, const std::string& url, uint32_t inherited,
             std::vector<VirtualDirectory>& out) {
    for (const auto& child : key.children()) {
        const std::string childUrl = url + "/" + child.name();
        bool inherits = true;
        const uint32_t access = AccessOf(child, inherited, inherits);
        const std::string* type = TextOf(child, kPropertyKeyType);
        if (type != nullptr && *type == kKeyTypeVirtualDir && TextOf(child, kPropertyVrPath))
            out.push_back({childUrl, &child, access});
        Collect(child, childUrl, inherits ? access : inherited, out);
    }
}

void RenderDirectory(const VirtualDirectory& dir, std::string& text) {
    const std::string& path = *TextOf(*dir.key, kPropertyVrPath);
    text += "\n# Virtual directory " + WithoutControlCharacters(dir.url) + "\n";
    if (!IsSafeConfigText(dir.url) || !IsSafeConfigText(path) || path.empty() || path[0] != '/' ||
        path.size() > VirtualDirectoryAdmin::kMaxPhysicalPathBytes) {
        text += "# left out: its URL or physical path cannot be written here safely\n";
        return;
    }
    text += "Alias \"" + dir.url + "\" \"" + path + "\"\n";
    text += "<Directory \"" + path + "\">\n";
    text += "    Options +ExecCGI\n";
    text += "    AddHandler cgi-script .cgi\n";
    // The folder holds the programs beside their configuration and logs: only the programs
    // are served, and only with read access.
    text += "    Require all denied\n";
    text += "    <FilesMatch \"\\.cgi$\">\n";
    text += (dir.access & kAccessRead) != 0 ? "        Require all granted\n"
                                            : "        Require all denied\n";
    text += "    </FilesMatch>\n";
    text += "</Directory>\n";
    if (const std::string* name = TextOf(*dir.key, kPropertyAppFriendlyName);
        name != nullptr && TextOf(*dir.key, kPropertyAppRoot) != nullptr)
        text += "# Application \"" + WithoutControlCharacters(*name) + "\"\n";
}

std::string RenderSite(int siteId, const MetabaseKey& site) {
    const std::string* description = TextOf(site, kPropertyServerComment);
    std::string text = "# Site " + std::to_string(siteId) + " \"" +
                       WithoutControlCharacters(description ? *description : "") +
                       "\": virtual directories published by vdirkit.\n"
                       "# Include this file inside the site's <VirtualHost>. It is rewritten on "
                       "every change: edit the metabase, not this file.\n";
    std::vector<VirtualDirectory> dirs;
    if (const MetabaseKey* root = site.Find("Root")) {
        bool inherits = true;
        Collect(*root, "", AccessOf(*root, 0, inherits), dirs);
    }
    // The first matching Alias wins: deeper URLs go first.
    std::stable_sort(dirs.begin(), dirs.end(),
                     [](const auto& a, const auto& b) { return a.url.size() > b.url.size(); });
    for (const auto& dir : dirs) RenderDirectory(dir, text);
    return text;
}

}  // namespace

std::map<int, std::string> ApacheExporter::Render(const MetabaseKey& root) {
    std::map<int, std::string> files;
    if (const MetabaseKey* sites = root.Find(kSitesPath))
        for (const auto& site : sites->children())
            if (const int id = SiteIdFromKeyName(site.name())) files[id] = RenderSite(id, site);
    return files;
}

std::string ApacheExporter::FileName(int siteId) {
    return "site-" + std::to_string(siteId) + ".conf";
}

bool ApacheExporter::Write(const std::string& dir, const MetabaseKey& root) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    bool ok = true;
    for (const auto& [id, text] : Render(root))
        ok = AtomicFile::Write(dir + "/" + FileName(id), text) && ok;
    return ok;
}

}  // namespace vdirkit
