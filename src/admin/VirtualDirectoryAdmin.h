#pragma once
// What the exported functions do, on a given metabase and chooser: listing the sites, choosing
// one, creating virtual directories and applications. Every call uses its own key handles and
// closes them before it returns; the object keeps no other state.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "admin/Metabase.h"
#include "admin/SiteChooser.h"

namespace vdirkit {

struct SiteInfo {
    int id = 0;
    std::string description;
};

struct ChosenSite {
    bool confirmed = false;  // OK rather than Cancel
    std::string record;      // empty when there is no site
};

class VirtualDirectoryAdmin {
  public:
    static constexpr const char* kChooserTitle = "Select Virtual Host";
    static constexpr const char* kChooserLabel = "&List of Virtual Hosts";
    static constexpr uint32_t kVirtualDirAccess = kAccessRead | kAccessExecute | kAccessScript;
    static constexpr uint32_t kPooledIsolation = 2;
    // Below the file-name limit (PATH_MAX 4096) with room for the export's quoting.
    static constexpr std::size_t kMaxPhysicalPathBytes = 4000;

    // `metabase` must outlive this object.
    explicit VirtualDirectoryAdmin(Metabase& metabase) : metabase_(metabase) {}

    // The sites in metabase order, each with its description ("" when it has none).
    std::vector<SiteInfo> ListSites();
    // "id|description|first binding".
    std::string SiteRecord(const SiteInfo& site);
    // The record of the first site; nothing without sites.
    std::optional<std::string> DefaultSiteRecord();
    // Shows the sites in `chooser`; Cancel reports the record of the first site.
    ChosenSite ChooseSite(SiteChooser& chooser);

    // Writes one property at `path` (the data type checked first: kInvalidParameter, with
    // nothing written, for multi-strings and inconsistent records).
    MetabaseStatus SetProperty(const std::string& path, const MetabaseRecord& record);

    // The status of the last metabase call of the sequence (0 when the directory is set up);
    // kInvalidParameter, with nothing changed, for a name without any key name in it or a
    // physical path longer than kMaxPhysicalPathBytes. Setting up an existing directory again
    // keeps its application name.
    MetabaseStatus CreateVirtualDirectory(int site, std::string_view parent, std::string_view name,
                                          std::string_view physicalPath);
    // 1 when any of the three application properties failed or `name` holds no key name, else 0.
    MetabaseStatus CreateApplication(int site, std::string_view parent, std::string_view name,
                                     std::string_view friendlyName);

    // "/LM/W3SVC/<site>/Root<parent>" and that followed by "/<name>".
    static std::string SiteRootPath(int site, std::string_view parent);
    static std::string DirectoryPath(int site, std::string_view parent, std::string_view name);

  private:
    MetabaseStatus ReadProperty(const std::string& path, uint32_t id, MetabaseRecord& record);

    Metabase& metabase_;
};

}  // namespace vdirkit
