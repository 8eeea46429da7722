#include "admin/ApacheSiteImporter.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "admin/AtomicFile.h"
#include "admin/KeyHandle.h"
#include "admin/TextChecks.h"

namespace vdirkit {
namespace {

constexpr std::string_view kBlank = " \t\r\f\v";

// The words of a directive line; quoted words may hold blanks and backslash-escaped quotes.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (true) {
        i = line.find_first_not_of(kBlank, i);
        if (i == std::string_view::npos) break;
        std::string word;
        if (line[i] == '"' || line[i] == '\'') {
            const char quote = line[i++];
            while (i < line.size() && line[i] != quote) {
                if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == quote) ++i;
                word += line[i++];
            }
            ++i;
        } else {
            const size_t end = std::min(line.find_first_of(kBlank, i), line.size());
            word = std::string(line.substr(i, end - i));
            i = end;
        }
        words.push_back(std::move(word));
    }
    return words;
}

// Logical lines: trailing backslashes join physical lines, comment lines are dropped.
std::vector<std::string> LogicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.back() == '\\') {
            current += line.substr(0, line.size() - 1);
            continue;
        }
        current += line;
        const size_t start = current.find_first_not_of(kBlank);
        if (start != std::string::npos && current[start] != '#')
            lines.push_back(current.substr(start));
        current.clear();
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::string BindingOf(std::string address, const std::string& serverName) {
    const size_t bracket = address.rfind(']');
    const size_t colon = address.rfind(':');
    const bool hasPort =
        colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
    if (!hasPort) address += std::string(":") + ApacheSiteImporter::kDefaultPort;
    return address + ":" + serverName;
}

MetabaseStatus ImportSite(Metabase& metabase, int id, const ApacheSite& site) {
    const std::string name = std::to_string(id);
    {
        KeyHandle sites(metabase, std::string(kSitesPath), MetabaseAccess::ReadWrite,
                        kPropertyTimeoutMs);
        if (sites.status()) return sites.status();
        const auto added = metabase.AddKey(sites.handle(), name + "/Root");
        if (added != MetabaseError::kSuccess && added != MetabaseError::kAlreadyExists)
            return added;
    }
    KeyHandle key(metabase, std::string(kSitesPath) + "/" + name, MetabaseAccess::ReadWrite,
                  kPropertyTimeoutMs);
    if (key.status()) return key.status();
    const auto text = [](uint32_t property, uint32_t userType, std::string value) {
        return MetabaseRecord::Text(property, 0, userType, std::move(value));
    };
    std::vector<std::pair<std::string, MetabaseRecord>> writes = {
        {"", text(kPropertyKeyType, kUserTypeServer, std::string(kKeyTypeServer))},
        {"", text(kPropertyServerComment, kUserTypeServer,
                  site.serverName.empty() ? site.binding : site.serverName)},
        {"", MetabaseRecord::Texts(kPropertyServerBindings, 0, kUserTypeServer, {site.binding})},
        {"Root", text(kPropertyKeyType, kUserTypeServer, std::string(kKeyTypeVirtualDir))},
    };
    if (!site.documentRoot.empty())
        writes.push_back({"Root", text(kPropertyVrPath, kUserTypeFile, site.documentRoot)});
    for (const auto& [path, record] : writes)
        if (const auto status = metabase.SetData(key.handle(), path, record)) return status;
    return MetabaseError::kSuccess;
}

}  // namespace

std::vector<ApacheSite> ApacheSiteImporter::Parse(std::string_view text) {
    std::vector<ApacheSite> sites;
    std::optional<ApacheSite> open;
    std::string firstAddress;
    int nested = 0;
    for (const auto& line : LogicalLines(text)) {
        auto words = Words(line);
        if (words.empty()) continue;
        std::string& directive = words[0];
        if (directive.size() > 1 && directive[0] == '<') {
            const bool closing = directive[1] == '/';
            std::string section = directive.substr(closing ? 2 : 1);
            if (!section.empty() && section.back() == '>') section.pop_back();
            if (EqualsIgnoringAsciiCase(section, "VirtualHost") && nested == 0) {
                if (closing && open) {
                    open->binding = BindingOf(firstAddress, open->serverName);
                    sites.push_back(std::move(*open));
                    open.reset();
                } else if (!closing && !open && words.size() > 1) {
                    open.emplace();
                    firstAddress = words[1];
                    if (words.size() == 2 && !firstAddress.empty() && firstAddress.back() == '>')
                        firstAddress.pop_back();
                }
            } else if (open) {
                nested += closing ? (nested > 0 ? -1 : 0) : 1;
            }
            continue;
        }
        if (!open || nested > 0 || words.size() < 2) continue;
        if (EqualsIgnoringAsciiCase(directive, "ServerName")) open->serverName = words[1];
        if (EqualsIgnoringAsciiCase(directive, "DocumentRoot")) open->documentRoot = words[1];
    }
    return sites;
}

MetabaseStatus ApacheSiteImporter::ReadDirectory(const std::string& dir,
                                                 std::vector<ApacheSite>& sites) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".conf" && it->is_regular_file(error))
            files.push_back(it->path());
    if (error) return MetabaseError::kPathNotFound;
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::string text;
        if (!AtomicFile::Read(file.string(), text, kMaxConfigBytes)) continue;
        for (auto& site : Parse(text)) sites.push_back(std::move(site));
    }
    return MetabaseError::kSuccess;
}

MetabaseStatus ApacheSiteImporter::Import(Metabase& metabase,
                                          const std::vector<ApacheSite>& sites) {
    for (size_t i = 0; i < sites.size(); ++i)
        if (const auto status = ImportSite(metabase, static_cast<int>(i + 1), sites[i]))
            return status;
    return MetabaseError::kSuccess;
}

}  // namespace vdirkit
