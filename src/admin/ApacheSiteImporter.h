#pragma once
// Takes the web sites of an Apache httpd configuration into the metabase: each <VirtualHost>
// block becomes a site, numbered 1, 2, ... in the order found.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "admin/Metabase.h"

namespace vdirkit {

struct ApacheSite {
    std::string serverName;    // "" when the block has no ServerName
    std::string binding;       // "address:port:host name" from the first address of the block
    std::string documentRoot;  // "" when the block has none
};

class ApacheSiteImporter {
  public:
    static constexpr size_t kMaxConfigBytes = 4 * 1024 * 1024;
    static constexpr const char* kDefaultPort = "80";

    // The complete <VirtualHost> blocks of one configuration text. Directive and section names
    // compare without regard to case; comments, continuation lines and quotes are read as Apache
    // reads them; nested sections are skipped.
    static std::vector<ApacheSite> Parse(std::string_view text);

    // The sites of every *.conf file in `dir`, files in name order. kPathNotFound when `dir`
    // cannot be listed; unreadable or oversized files are skipped.
    static MetabaseStatus ReadDirectory(const std::string& dir, std::vector<ApacheSite>& sites);

    // Writes site n+1 for sites[n]: key type, description (the ServerName, else the binding),
    // bindings, and a Root key (with the DocumentRoot as its path). Existing virtual directories
    // below the Root stay. The status of the first write that failed, else 0.
    static MetabaseStatus Import(Metabase& metabase, const std::vector<ApacheSite>& sites);
};

}  // namespace vdirkit
