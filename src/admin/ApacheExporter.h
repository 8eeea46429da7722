#pragma once
// Publishes the metabase to Apache httpd: one include file per site ("site-N.conf") holding an
// Alias and a <Directory> block for every virtual directory below the site's Root key. An
// administrator includes the file inside the site's <VirtualHost> once; every metabase change
// rewrites the files.
#include <map>
#include <string>

#include "admin/MetabaseKey.h"

namespace vdirkit {

class ApacheExporter {
  public:
    // The include file of every site under kSitesPath, by site identifier. Directories whose
    // path or URL Apache could not take safely (quotes, backslashes, control characters,
    // wildcards, a relative path) are left out with a comment saying so.
    static std::map<int, std::string> Render(const MetabaseKey& root);

    static std::string FileName(int siteId);

    // Writes Render(root) into `dir` (created when missing), each file atomically. False when a
    // file could not be written.
    static bool Write(const std::string& dir, const MetabaseKey& root);
};

}  // namespace vdirkit
