#include "admin/VirtualDirectoryAdmin.h"

#include "admin/KeyHandle.h"
#include "admin/MetabaseKey.h"
#include "admin/SiteId.h"

namespace vdirkit {
namespace {

std::string FirstText(const MetabaseRecord& record) {
    if (const auto* text = std::get_if<std::string>(&record.value)) return *text;
    if (const auto* texts = std::get_if<std::vector<std::string>>(&record.value))
        return texts->empty() ? std::string() : texts->front();
    return {};
}

}  // namespace

std::string VirtualDirectoryAdmin::SiteRootPath(int site, std::string_view parent) {
    return std::string(kSitesPath) + "/" + std::to_string(site) + "/Root" + std::string(parent);
}

std::string VirtualDirectoryAdmin::DirectoryPath(int site, std::string_view parent,
                                                 std::string_view name) {
    return SiteRootPath(site, parent) + "/" + std::string(name);
}

MetabaseStatus VirtualDirectoryAdmin::ReadProperty(const std::string& path, uint32_t id,
                                                   MetabaseRecord& record) {
    KeyHandle key(metabase_, path, MetabaseAccess::Read, kPropertyTimeoutMs);
    if (key.status() != MetabaseError::kSuccess) return key.status();
    return metabase_.GetData(key.handle(), "", id, record);
}

std::vector<SiteInfo> VirtualDirectoryAdmin::ListSites() {
    std::vector<std::string> names;
    {
        KeyHandle sites(metabase_, std::string(kSitesPath), MetabaseAccess::Read,
                        kPropertyTimeoutMs);
        if (sites.status() != MetabaseError::kSuccess) return {};
        std::string name;
        for (uint32_t i = 0; metabase_.EnumKeys(sites.handle(), "", i, name) == 0; ++i)
            names.push_back(name);
    }
    std::vector<SiteInfo> list;
    for (const auto& name : names) {
        const int id = SiteIdFromKeyName(name);
        if (id == 0) continue;
        MetabaseRecord record;
        const auto status =
            ReadProperty(std::string(kSitesPath) + "/" + name, kPropertyServerComment, record);
        list.push_back({id, status == MetabaseError::kSuccess ? FirstText(record) : ""});
    }
    return list;
}

std::string VirtualDirectoryAdmin::SiteRecord(const SiteInfo& site) {
    MetabaseRecord bindings;
    const auto status = ReadProperty(std::string(kSitesPath) + "/" + std::to_string(site.id),
                                     kPropertyServerBindings, bindings);
    return std::to_string(site.id) + "|" + site.description + "|" +
           (status == MetabaseError::kSuccess ? FirstText(bindings) : "");
}

std::optional<std::string> VirtualDirectoryAdmin::DefaultSiteRecord() {
    const auto sites = ListSites();
    if (sites.empty()) return std::nullopt;
    return SiteRecord(sites.front());
}

ChosenSite VirtualDirectoryAdmin::ChooseSite(SiteChooser& chooser) {
    const auto sites = ListSites();
    if (sites.empty()) return {};
    std::vector<std::string> descriptions;
    for (const auto& site : sites) descriptions.push_back(site.description);
    const auto chosen = chooser.Choose(kChooserTitle, kChooserLabel, descriptions, 0);
    const size_t position = chosen && *chosen < sites.size() ? *chosen : 0;
    return {chosen.has_value(), SiteRecord(sites[position])};
}

MetabaseStatus VirtualDirectoryAdmin::SetProperty(const std::string& path,
                                                  const MetabaseRecord& record) {
    if (record.dataType == MetabaseDataType::MultiString || !record.IsConsistent())
        return MetabaseError::kInvalidParameter;
    KeyHandle key(metabase_, path, MetabaseAccess::ReadWrite, kPropertyTimeoutMs);
    if (key.status() != MetabaseError::kSuccess) return key.status();
    MetabaseRecord written = record;
    written.attributes = kAttributeInherit;
    if (const auto status = metabase_.SetData(key.handle(), "", written)) return status;
    return key.Close();
}

MetabaseStatus VirtualDirectoryAdmin::CreateVirtualDirectory(int site, std::string_view parent,
                                                             std::string_view name,
                                                             std::string_view physicalPath) {
    // Without a name the properties would land on the parent itself and replace its own; a
    // path the web server cannot take would make it refuse the whole site.
    if (SplitKeyPath(name).empty() || physicalPath.size() > kMaxPhysicalPathBytes)
        return MetabaseError::kInvalidParameter;
    MetabaseStatus added = MetabaseError::kSuccess;
    {
        KeyHandle root(metabase_, SiteRootPath(site, parent), MetabaseAccess::ReadWrite,
                       kAddKeyTimeoutMs);
        if (root.status() != MetabaseError::kSuccess) return root.status();
        added = metabase_.AddKey(root.handle(), name);  // an existing directory is set up again
        if (const auto status = root.Close()) return status;
    }
    const std::string path = DirectoryPath(site, parent, name);
    // An existing directory keeps the application name it has.
    if (added != MetabaseError::kAlreadyExists)
        SetProperty(path,
                    MetabaseRecord::Text(kPropertyAppFriendlyName, 0, kUserTypeApplication, ""));
    const MetabaseRecord steps[] = {
        MetabaseRecord::Text(kPropertyKeyType, 0, kUserTypeServer, std::string(kKeyTypeVirtualDir)),
        MetabaseRecord::Text(kPropertyVrPath, 0, kUserTypeFile, std::string(physicalPath)),
        MetabaseRecord::Number(kPropertyAccessPerm, 0, kUserTypeFile, kVirtualDirAccess),
    };
    for (const auto& step : steps)
        if (const auto status = SetProperty(path, step)) return status;
    return MetabaseError::kSuccess;
}

MetabaseStatus VirtualDirectoryAdmin::CreateApplication(int site, std::string_view parent,
                                                        std::string_view name,
                                                        std::string_view friendlyName) {
    // Without a name the site's root itself would become the application.
    if (SplitKeyPath(name).empty()) return 1;
    const std::string path = DirectoryPath(site, parent, name);
    const MetabaseRecord steps[] = {
        MetabaseRecord::Number(kPropertyAppIsolated, 0, kUserTypeApplication, kPooledIsolation),
        MetabaseRecord::Text(kPropertyAppRoot, 0, kUserTypeFile, path),
        MetabaseRecord::Text(kPropertyAppFriendlyName, 0, kUserTypeApplication,
                             std::string(friendlyName)),
    };
    bool failed = false;
    for (const auto& step : steps) failed = SetProperty(path, step) != 0 || failed;
    return failed ? 1 : 0;
}

}  // namespace vdirkit
